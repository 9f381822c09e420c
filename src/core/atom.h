// A chemical element of the run.  Everywhere else an element is named by its
// species index: its 1-based position in the element list (0 names none).
#pragma once

#include <iosfwd>
#include <string>

#include "core/list.h"

namespace orvane {

struct Atom {
  char Symbol[3] = {'\0', '\0', '\0'};
  int32_t Z = 0;
  double W = 0.0;       // mass, amu
  double TAmp = 0.0;    // one-dimensional thermal vibration amplitude, angstrom
  double TDebye = 0.0;  // Debye temperature, K

  Atom() = default;
  // Asserts the limits of an element: mass > 0, Z in 1..102, upper-case
  // first letter of the symbol.
  Atom(const char* symbol, double w, int z, double tDebye);

  // True when the values can form an element (the limits that the
  // constructor asserts).
  static bool Valid(const std::string& symbol, double w, int z);

  std::string SymbolText() const { return std::string(Symbol); }
};

using AtomList = List<Atom>;

// Symbol, mass and Z are compared; amplitudes and Debye temperatures not.
bool operator==(const Atom& a, const Atom& b);
// One line: "[Si]\tW =    28.086 amu, Z =  14, TDebye =   519 K, TAmp = ... A".
std::ostream& operator<<(std::ostream& os, const Atom& atom);

}  // namespace orvane
