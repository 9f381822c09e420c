#include "target/lattice_type.h"

namespace orvane {

namespace {
const char* const kNames[6] = {"PRIMITIVE",      "BODY CENTERED",  "A END CENTERED",
                               "B END CENTERED", "C END CENTERED", "FACE CENTERED"};
}

const char* LatticeTypeName(int type) {
  return ValidLatticeType(type) ? kNames[type - 1] : "UNKNOWN";
}

}  // namespace orvane
