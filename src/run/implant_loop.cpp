#include "run/implant_loop.h"

#include <cmath>
#include <iostream>
#include <sstream>

#include "core/fatal.h"

namespace orvane {

namespace {

// A fresh orientation of the lattice, with the first moving particle placed
// in it beside the atom of the struck list that it has just struck.
void RotateLattice(RunState& state, const List<Vector>& struck) {
  state.CurrentCrystal->Rotate(state.Rng.RandomRotation());
  state.CurrentCrystal->PlaceAfterRotation(state.Moving.Front(), struck);
}

double Depth(const RunState& state, const Particle& p) { return state.Frame.ComponentX(p.Abs); }

}  // namespace

void StartIon(RunState& state) {
  Configuration& c = state.Config;
  Simulation& s = state.Current;
  state.Finished.Clear();
  state.SplitCopies = 0;
  state.SplitBoundHit = false;
  Vector direction = s.DIR;
  state.Rng.Deflect(direction, c.DivType, s.Divergence);
  if (c.Randomize) {
    const double u1 = state.Rng.Uniform();
    const double u2 = state.Rng.Uniform();
    c.POS = Vector(0.0, u1 * state.WinB, u2 * state.WinA) - direction;
  }
  const Vector start = FoldStartIntoCell(c.POS, state.Cell, state.HalfCell);
  if (c.EnergyPercentage != 0.0) c.EnergySigma = c.EnergyPercentage * s.ENERGY / 100.0;
  const double energy = DrawEnergy(s.ENERGY, c.EnergySpread, c.EnergySigma, state.Rng);

  int species = 0;
  double totalMass = 0.0;
  while (species < Simulation::kSpecies && s.Projectiles[species] != 0) {
    totalMass += state.Atoms.GetAt(s.Projectiles[species]).W;
    ++species;
  }
  for (int slot = 0; slot < species; ++slot) {
    Particle ion;
    ion.Species = static_cast<uint8_t>(s.Projectiles[slot]);
    ion.SpeciesA = ion.Species;
    ion.R = start;
    ion.Abs = start;
    ion.Org = c.POS;
    ion.Energy = energy * state.Atoms.GetAt(s.Projectiles[slot]).W / totalMass;
    ion.SetDirection(direction);
    ion.Ghi = c.GhiLimit;
    ion.Status = PROJECTILE;
    ion.Weight = state.IonWeight;
    state.Moving.InsertAt(1, ion);
  }
  // A new ion has struck nothing yet.
  if (state.CurrentLayer->Kind == POLYCRYSTALLINE) RotateLattice(state, List<Vector>());
}

// Whether the ion may make one more rare-event copy.  Beyond the bound its
// particles go on whole, so the weights still sum to the real ions.
bool MaySplit(RunState& state) {
  if (state.SplitCopies < kMaxSplitCopiesPerIon) return true;
  state.SplitBoundHit = true;
  ReportSplitBound(state, state.NextIon);
  return false;
}

void ReportSplitBound(RunState& state, uint32_t ion) {
  if (state.SplitBoundReported) return;
  std::cerr << "# Warning: ImplantOne, ion " << ion << " made " << kMaxSplitCopiesPerIon
            << " rare-event copies; its particles go on without further splits (said once)"
            << std::endl;
  state.SplitBoundReported = true;
}

namespace {

// Two particles of half the weight in place of the work particle.
void SplitWork(RunState& state) {
  ++state.SplitCopies;
  state.Work.Weight *= 0.5;
  state.Moving.Front() = state.Work;
  state.Moving.InsertAt(1, state.Work);
}

}  // namespace

void SplitRareEvents(RunState& state) {
  Particle& work = state.Work;
  if (work.Status != PROJECTILE) return;
  const Hist& hist = state.Tallies.HistogramOf(work.Species);
  const int n = hist.n;
  if (n == 0) return;
  const double depth = Depth(state, work);
  if (work.Energy < state.Current.ENERGY * state.Config.pE) {
    const double limit =
        hist.Shallowest + (hist.Deepest - hist.Shallowest) * state.Config.pX * (work.o2 / n + 1);
    if (depth < limit && work.o2 > -n && MaySplit(state)) {
      --work.o2;
      SplitWork(state);
    }
  }
  const double q = state.Config.REType == 0 ? depth : work.PathLength;
  if (work.o1 < n && hist.SplitDepth[work.o1] < q && MaySplit(state)) {
    ++work.o1;
    SplitWork(state);
  }
}

namespace {

// Whether the last partner search found a partner within the interaction
// radius.  Amorphous material takes a new orientation about the atom just
// struck after every such collision: kept until the next close approach
// only, a lattice lets the particle run along its planes between glancing
// collisions, and amorphous ranges came out a quarter too deep.
bool JustCollided(const RunState& state) {
  return state.ClosestImpact2 < state.CurrentCrystal->SearchRadius2;
}

// A particle deep in damaged material meets it amorphized, with the
// probability of the local amorphous fraction.  Where the layer draws its
// partners from the density, the step's partner is drawn (true is
// returned); otherwise, after a collision, the lattice takes a fresh
// orientation for the step.
bool MeetAmorphizedMaterial(RunState& state) {
  const double u = state.Rng.Uniform();
  const double depth = Depth(state, state.Work);
  if (depth < 0.0) return false;
  VarHist& damage = state.Damage.Damage;
  int cell = static_cast<int>(static_cast<float>(depth / damage.Width));
  if (cell > 99) {
    // The parallel run reads the profile as its batch started: nothing was
    // deposited beyond its last cell, and the ion leaves it as it is.
    if (state.KeyedDraws != nullptr) return false;
    damage.Rebin(damage.Start, (cell + 2) * damage.Width);
    cell = static_cast<int>(static_cast<float>(depth / damage.Width));
  }
  if (cell < 0 || cell > 99) return false;
  const bool amorphized = u < damage.Cells[cell] / state.Damage.AmorphizationDensity;
  if (state.CurrentLayer->SampledPartners) return amorphized;
  if (amorphized && JustCollided(state)) {
    RotateLattice(state, state.Engine.Struck);
    ++state.RotationCount;
    state.RotationFlag = 1;
  }
  return false;
}

}  // namespace

void SelectLayer(RunState& state, double depth) {
  const TargetStack& stack = state.Stack;
  if (!(stack.FrontSurface < depth && depth < stack.BackSurface)) return;
  const Layer& current = *state.CurrentLayer;
  if (current.XMin <= depth && depth <= current.XMax) return;
  int index = 0;
  for (Layer& layer : state.Layers) {
    if (layer.XMin < depth && depth < layer.XMax) {
      state.CurrentLayer = &layer;
      state.CurrentCrystal = &state.Stack.Crystals.GetAt(index + 1);
      // Layers beyond the fifth share the fifth stopping parameter.
      state.CurrentLayerSlot = index < Simulation::kLayers ? index : Simulation::kLayers - 1;
      UseLayerStopping(state);
      UseCurrentCrystalCell(state);
      return;
    }
    ++index;
  }
  std::ostringstream message;
  message << "MAIN: No layers found at " << state.Work.Abs << "\n";
  Fatal(405, message.str());
}

namespace {

// Whether the step draws its partner from the layer's density: in an
// amorphous layer, or in material that the damage has amorphized, of a
// layer that asks for it.
bool DrawsPartner(const RunState& state, bool amorphized) {
  const Layer& layer = *state.CurrentLayer;
  return layer.SampledPartners && (layer.Kind == AMORPHOUS || amorphized);
}

// The partner of a step among atoms at random: drawn from the density, its
// loss to the electrons from the stopping averaged over the cell.
int DrawPartner(RunState& state) {
  Crystal& crystal = *state.CurrentCrystal;
  Particle& particle = state.Moving.Front();
  Target& engine = state.Engine;
  particle.Sampled = 1;
  const Layer& layer = *state.CurrentLayer;
  const SampledDepths depths{layer.XMin, layer.XMax, state.Stack.FrontSurface,
                             state.Stack.BackSurface};
  // No lattice site lies about the particle: the flight feels no potential.
  state.NearbySites.Clear();
  engine.AveragedGas = &state.AveragedStopping.For(
      state.NonLocalStopping, state.Atoms.GetAt(particle.Species).Z, crystal.Radii);
  return crystal.Sampler.Draw(particle, engine.Candidates, state.ClosestImpact2, state.Rng,
                              state.Frame, depths);
}

}  // namespace

// A particle that comes from atoms at random into a lattice stands
// anywhere in the cell, as it would coming out of an amorphous pocket, but
// never inside an atom.
void PlaceInLattice(RunState& state) {
  constexpr double kCoreRadius = 0.5;  // angstrom, beyond the thermal displacements at 300 K
  Particle& particle = state.Moving.Front();
  particle.Sampled = 0;
  particle.Ghi = state.Stack.GhiLimit;
  Crystal& crystal = *state.CurrentCrystal;
  while (Distance(crystal.SetNearestTo(particle.R).R, particle.R) < kCoreRadius) {
    const Vector& cell = state.Cell;
    const double x = state.Rng.Uniform() - 0.5;
    const double y = state.Rng.Uniform() - 0.5;
    const double z = state.Rng.Uniform() - 0.5;
    particle.R = Vector(x * cell.x, y * cell.y, z * cell.z);
  }
}

namespace {

// The partners of a step in a lattice: an amorphous layer first takes a
// fresh orientation after a close approach.
int SearchPartners(RunState& state) {
  Crystal& crystal = *state.CurrentCrystal;
  const TargetStack& stack = state.Stack;
  Target& engine = state.Engine;
  engine.AveragedGas = nullptr;
  if (state.Moving.Front().Sampled) PlaceInLattice(state);
  if (state.CurrentLayer->Kind == AMORPHOUS && JustCollided(state)) {
    RotateLattice(state, state.Engine.Struck);
    ++state.RotationCount;
  }
  if (state.KeyedDraws != nullptr) {
    return crystal.FindPartners(state.Moving.Front(), engine.Candidates, state.ClosestImpact2,
                                *state.KeyedDraws, stack.FrontSurface, stack.BackSurface,
                                state.Thermal, state.Frame, state.NearbySites);
  }
  return crystal.FindPartners(state.Moving.Front(), engine.Candidates, state.ClosestImpact2,
                              state.Rng, ThermalSigns(), stack.FrontSurface, stack.BackSurface,
                              state.Thermal, state.Frame, state.NearbySites);
}

void CollideOrFly(RunState& state, bool amorphized) {
  Crystal& crystal = *state.CurrentCrystal;
  const TargetStack& stack = state.Stack;
  Target& engine = state.Engine;
  const int found = DrawsPartner(state, amorphized) ? DrawPartner(state) : SearchPartners(state);
  state.PartnerCount += found;
  int partners = -1;
  if (found > 0 && engine.Candidates.Front().Species != 0) {
    partners = engine.CollisionStep(state.Finished, state.Moving, state.Geometry, crystal.Density3D,
                                    *state.CurrentLayer);
  }
  if (partners == -1) {
    engine.IncrementPosition(state.Finished, state.Moving, stack.FrontSurface, stack.BackSurface,
                             crystal.Density3D);
  }
  engine.Candidates.Clear();
}

// Abandons the first moving particle with its not-followed status.
void Abandon(RunState& state, int status) {
  Particle& first = state.Moving.Front();
  first.Status = status;
  state.Finished.Add(first);
  state.Moving.RemoveAt(1);
}

bool FollowedTooLong(const RunState& state) {
  return state.Work.Collisions > state.Config.MaxIterationsPerImplant ||
         state.Work.Flights > state.Config.MaxFlights;
}

}  // namespace

void UseLayerStopping(RunState& state) {
  state.NonLocalStopping.SetLayer(state.CurrentLayerSlot,
                                  state.Current.RS0[state.CurrentLayerSlot]);
}

void UseCurrentCrystalCell(RunState& state) {
  const Vector& c = state.CurrentCrystal->LatticeParameter;
  state.Cell = c;
  state.HalfCell = Vector(static_cast<float>(c.x * 0.5), static_cast<float>(c.y * 0.5),
                          static_cast<float>(c.z * 0.5));
  state.Engine.SetCell(state.Cell, state.HalfCell);
  state.Engine.Lattice = state.CurrentCrystal;
}

Vector FoldStartIntoCell(const Vector& position, const Vector& cell, const Vector& halfCell) {
  auto fold = [](double p, double c, double h) {
    const double f = std::fmod(p, c);
    return f - std::trunc(f / h) * c;
  };
  return Vector(fold(position.x, cell.x, halfCell.x), fold(position.y, cell.y, halfCell.y),
                fold(position.z, cell.z, halfCell.z));
}

namespace {

double DrawSpread(double energy, int spread, double sigma, Ranmar& rng) {
  if (spread == 1) return energy + (rng.Uniform() - 0.5) * sigma;
  if (spread == 2) {
    double w1, w2, s;
    do {
      w1 = 2.0 * rng.Uniform() - 1.0;
      w2 = 2.0 * rng.Uniform() - 1.0;
      s = w1 * w1 + w2 * w2;
    } while (s >= 1.0 || s == 0.0);
    return energy + w1 * sigma * std::sqrt(-2.0 * std::log(s) / s);
  }
  return energy;
}

}  // namespace

double DrawEnergy(double energy, int spread, double sigma, Ranmar& rng) {
  // An ion without energy has no trajectory: a draw at or below 0 is drawn
  // again (a positive nominal energy makes some draw positive).
  double drawn;
  do {
    drawn = DrawSpread(energy, spread, sigma, rng);
  } while (!(drawn > 0.0) && energy > 0.0);
  return drawn;
}

void ImplantOne(RunState& state) {
  StartIon(state);
  state.RotationFlag = 0;
  while (!state.Moving.Empty()) {
    state.Work = state.Moving.First();
    SplitRareEvents(state);
    if (state.Work.Status != PROJECTILE && state.Config.LevelOfSimulation == 1) {
      state.Moving.Clear();
      state.CurrentCrystal->Unrotate();
      return;
    }
    const bool amorphized = MeetAmorphizedMaterial(state);
    if (Depth(state, state.Moving.Front()) > state.Config.MaxDepth) {
      Abandon(state, ION_NOT_FOLLOWED);
    } else {
      SelectLayer(state, Depth(state, state.Work));
      CollideOrFly(state, amorphized);
      if (!state.Moving.Empty() && FollowedTooLong(state)) {
        Abandon(state, state.Work.Status == PROJECTILE ? ION_NOT_FOLLOWED : NOT_FOLLOWED);
      }
    }
    if (state.RotationFlag) {
      state.CurrentCrystal->Unrotate();
      state.RotationFlag = 0;
    }
  }
}

}  // namespace orvane
