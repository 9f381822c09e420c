// The electronic stopping models (stopping power of the electron gas as a
// function of the ion's velocity, its atomic number and the one-electron
// radius rs) and the ionization models that give a heavy ion's fractional
// charge.  Velocities in atomic units, rs in bohr, stopping in eV/A.
#pragma once

namespace orvane {

// y, the ion's reduced velocity, to q, its ionized fraction (never negative).
using IonizationFunction = double (*)(double y);

// What a stopping model reads besides (v, Z1, rs): the selected ionization
// model and the reference one-electron radius RS0 (bohr).
struct StoppingParameters {
  IonizationFunction ionization;
  double rs0;
};

using StoppingFunction = double (*)(double v, double z1, double rs,
                                    const StoppingParameters& parameters);

struct StoppingModel {
  const char* key;  // the name that selects it, at most 10 characters
  const char* description;
  StoppingFunction function;
};

struct IonizationModel {
  const char* key;
  const char* description;
  IonizationFunction function;
};

inline constexpr int kStoppingModelCount = 4;
inline constexpr int kIonizationModelCount = 4;
inline constexpr int kDefaultStoppingModel = 2;    // "Our"
inline constexpr int kDefaultIonizationModel = 1;  // "BK"
inline constexpr double kDefaultRS0 = 1.8;         // bohr

// "None", "ZBL", "Our", "?" in this order; "?" (the help entry) stops
// nothing, like "None".
extern const StoppingModel kStoppingModels[kStoppingModelCount];
// "ZBL", "BK", "CGJ", "MP" in this order.
extern const IonizationModel kIonizationModels[kIonizationModelCount];

// No electronic stopping.
double NoStopping(double v, double z1, double rs, const StoppingParameters& parameters);
// The proton stopping of the local electron gas, scaled by the square of
// the ion's effective charge computed with the same local rs.
double LocalDensityStopping(double v, double z1, double rs, const StoppingParameters& parameters);
// As LocalDensityStopping, but the effective charge is computed with the
// reference radius RS0 instead of the local rs.
double ReferenceChargeStopping(double v, double z1, double rs,
                               const StoppingParameters& parameters);

double ZblIonization(double y);
double BkIonization(double y);
double CgjIonization(double y);
double MpIonization(double y);

}  // namespace orvane
