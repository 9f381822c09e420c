#include "core/site.h"

#include <ostream>

namespace orvane {

void Site::WriteInFrame(std::ostream& os, const Axes& frame) const {
  os << " " << frame.ComponentX(R) << " " << frame.ComponentY(R) << " " << frame.ComponentZ(R)
     << '\n';
}

bool operator==(const Site& a, const Site& b) { return a.Species == b.Species && a.R == b.R; }

std::ostream& operator<<(std::ostream& os, const Site& site) {
  return os << "[" << static_cast<int>(site.Species) << "]\tR   " << site.R << '\n';
}

}  // namespace orvane
