// The screening function Phi(r) of a pair of atomic numbers, tabulated at
// r_k = 0.005 k angstrom: V(r) = Z1 Z2 e^2 / (4 pi eps0 r) Phi(r).
#pragma once

#include <string>

#include "physics/pair_potentials.h"

namespace orvane {

// The codes of the pair potential table.  Any other code means the ZBL
// universal function.
enum ScreeningType {
  kZblUniversal = 0,
  kSpecificThreeColumns = 1,
  kThomasFermi = 2,
  kMoliere = 3,
  kLenzJensen = 4,
  kBohr = 5,
  kSpecificTwoColumns = 6,
};

struct SSF {
  static constexpr int kPoints = 1000;
  static constexpr double kSpacing = 0.005;  // angstrom
  // The most rows a specific screening-function file may hold.
  static constexpr int kMaxFileRows = 1000;

  double Phi[kPoints];   // Phi(r_k)
  double dPhi[kPoints];  // dPhi/dr at r_k, per angstrom
  double a;              // screening length, angstrom

  // Fills the whole record for the pair with the screening of the given
  // code; a specific file that cannot be read ends the process (status 300).
  void Init(int z1, int z2, int type);
};

// The first letter of the pair's scattering-table file: Z, S, T, M, L or B.
char ScreeningLetter(int type);

// "%cel%02d%02d.dat" with the pair's letter, for example Zel1405.dat.
std::string PairTableName(int z1, int z2, const PairPotentials& potentials);

}  // namespace orvane
