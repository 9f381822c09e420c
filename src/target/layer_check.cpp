#include "target/layer_check.h"

#include <cmath>
#include <sstream>

#include "core/fatal.h"
#include "target/lattice_type.h"

namespace orvane {

namespace {

constexpr int kLayerError = 408;
constexpr double kDegree = 0.017453292519943295;

[[noreturn]] void Refuse(int number, const std::string& fault) {
  Fatal(kLayerError, "# Error: MakeLayers, Layer " + std::to_string(number) +
                         " cannot be built: " + fault + "\n");
}

bool Positive(const Vector& v) {
  return v.x > 0.0 && v.y > 0.0 && v.z > 0.0 && std::isfinite(v.x) && std::isfinite(v.y) &&
         std::isfinite(v.z);
}

// Three angles between 0 and 180 degrees that three edges can make.
bool FormCell(const Vector& angles) {
  for (double angle : {angles.x, angles.y, angles.z}) {
    if (!(angle > 0.0 && angle < 180.0)) return false;
  }
  const double ca = std::cos(angles.x * kDegree), cb = std::cos(angles.y * kDegree);
  const double cg = std::cos(angles.z * kDegree);
  return 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg > 0.0;
}

std::string Describe(const Vector& v) {
  std::ostringstream text;
  text << v;
  return text.str();
}

void CheckBasisAtom(const BasisAtom& atom, int number, int index, int elements) {
  const std::string which = "basis atom " + std::to_string(index);
  if (!ValidLatticeType(atom.Type)) {
    Refuse(number, which + " has the lattice type " + std::to_string(atom.Type) +
                       ", which must lie in 1..6");
  }
  const bool single = atom.Fraction == 1.0;
  const bool speciesB =
      (atom.SpeciesB >= 1 || (single && atom.SpeciesB == 0)) && atom.SpeciesB <= elements;
  if (atom.SpeciesA < 1 || atom.SpeciesA > elements || !speciesB) {
    Refuse(number, which + " names the species " + std::to_string(atom.SpeciesA) + "/" +
                       std::to_string(atom.SpeciesB) + ", but the element list holds " +
                       std::to_string(elements) + " elements");
  }
  if (!(atom.Fraction >= 0.0 && atom.Fraction <= 1.0)) {
    std::ostringstream fraction;
    fraction << atom.Fraction;
    Refuse(number, which + " has the fraction " + fraction.str() + ", which must lie in 0..1");
  }
}

}  // namespace

void CheckLayer(const Layer& layer, int number, int elements) {
  if (!Positive(layer.LatticeParameter)) {
    Refuse(number, "the cell lengths " + Describe(layer.LatticeParameter) + " must be positive");
  }
  if (!FormCell(layer.Angles)) {
    Refuse(number, "the cell angles " + Describe(layer.Angles) +
                       " must lie between 0 and 180 degrees and form a cell");
  }
  int index = 0;
  for (const BasisAtom& atom : layer.Basis) CheckBasisAtom(atom, number, ++index, elements);
}

}  // namespace orvane
