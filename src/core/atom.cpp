#include "core/atom.h"

#include <cstring>
#include <iomanip>
#include <ostream>

#include "core/fatal.h"

namespace orvane {

Atom::Atom(const char* symbol, double w, int z, double tDebye) {
  Require(w > 0.0 && z > 0 && z < 103, "WC>0.0 && ZC>0 && ZC<103", "atom", 31);
  W = w;
  Z = z;
  Require(symbol[0] >= 'A' && symbol[0] <= 'Z', "TC[0]>='A' && TC[0]<='Z'", "atom", 53);
  Symbol[0] = symbol[0];
  Symbol[1] = symbol[1];
  Symbol[2] = '\0';
  TAmp = 0.0;
  TDebye = tDebye;
}

bool Atom::Valid(const std::string& symbol, double w, int z) {
  return w > 0.0 && z > 0 && z < 103 && !symbol.empty() && symbol[0] >= 'A' && symbol[0] <= 'Z';
}

bool operator==(const Atom& a, const Atom& b) {
  return std::strcmp(a.Symbol, b.Symbol) == 0 && a.W == b.W && a.Z == b.Z;
}

std::ostream& operator<<(std::ostream& os, const Atom& atom) {
  os << "[" << atom.Symbol << "]\tW =" << std::setw(10) << atom.W << " amu, Z =" << std::setw(4)
     << atom.Z << ", TDebye = " << std::setw(5) << atom.TDebye << " K, TAmp = " << std::setw(10)
     << atom.TAmp << " A" << '\n';
  return os;
}

}  // namespace orvane
