#include "core/vector.h"

#include <iomanip>
#include <istream>
#include <ostream>

namespace orvane {

std::ostream& operator<<(std::ostream& os, const Vector& v) {
  os << "( " << std::setw(9) << v.x << ", " << std::setw(9) << v.y << ", " << std::setw(9) << v.z
     << " )";
  return os;
}

std::istream& operator>>(std::istream& is, Vector& v) { return is >> v.x >> v.y >> v.z; }

}  // namespace orvane
