// The grids of the scattering tables: 72 energies, 30 impact parameters and
// three one-point angle axes, with the functions that map an index to its
// grid value and a value to the index of its cell.
#pragma once

namespace orvane {

inline constexpr int N_ENERGY = 72;
inline constexpr int N_S = 30;
inline constexpr int N_PHI = 1;
inline constexpr int N_THETA = 1;
inline constexpr int N_ALPHA = 1;

// A grid value and the next one, the upper edge of its cell.  The last point
// of an axis has no next point: its cell is degenerate (upper == lower).
struct GridCell {
  double lower = 0.0;
  double upper = 0.0;
};

// Energy of index 0..N_ENERGY-1, eV.
GridCell EnergyIndexToValue(int index);
// Impact parameter of index 0..N_S-1, angstrom.
GridCell ImpactIndexToValue(int index);
// Angles of the collision frame, radians.
GridCell PhiIndexToValue(int index);
GridCell ThetaIndexToValue(int index);
GridCell AlphaIndexToValue(int index);

// The cell whose lower edge is at or below the value: 0 below the first
// point, the last index at or beyond the last point.
int EnergyValueToIndex(double energy);
int ImpactValueToIndex(double impact);

}  // namespace orvane
