// Bravais lattice types of a basis atom and their display names.
#pragma once

namespace orvane {

enum LatticeType : int {
  PRIMITIVE = 1,
  BODY_CENTERED = 2,
  A_END_CENTERED = 3,
  B_END_CENTERED = 4,
  C_END_CENTERED = 5,
  FACE_CENTERED = 6,
};

inline bool ValidLatticeType(int type) { return type >= PRIMITIVE && type <= FACE_CENTERED; }

// "PRIMITIVE", "BODY CENTERED", ... for types 1..6; "UNKNOWN" otherwise.
const char* LatticeTypeName(int type);

}  // namespace orvane
