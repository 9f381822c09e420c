#include "run/ion_worker.h"

#include <utility>

#include "run/batch_coupling.h"
#include "run/implant_loop.h"
#include "run/ion_streams.h"

namespace orvane {

namespace {

// The stack's crystals, each with the grid of its density shared with the
// run's crystal instead of copied.
void CopyStackSharingDensities(TargetStack& run, TargetStack& copy) {
  copy = TargetStack();
  copy.CellRange = run.CellRange;
  copy.InteractionRadius = run.InteractionRadius;
  copy.GhiLimit = run.GhiLimit;
  copy.SimultaneousDistance = run.SimultaneousDistance;
  copy.BackSurface = run.BackSurface;
  copy.FrontSurface = run.FrontSurface;
  for (Crystal& crystal : run.Crystals) {
    EDT density = std::move(crystal.Density3D);  // so that the copy leaves the grid alone
    copy.Crystals.Add(crystal);
    crystal.Density3D = std::move(density);
    copy.Crystals.Back().Density3D.ShareGrid(crystal.Density3D);
  }
}

void CopyEngineLimits(const Target& run, Target& copy) {
  copy.InteractionRadius = run.InteractionRadius;
  copy.GhiLimit = run.GhiLimit;
  copy.ThresholdEnergy = run.ThresholdEnergy;
  copy.SD2 = run.SD2;
  copy.Temperature = run.Temperature;
}

// Every ion starts in the first layer, whose grain, when it is
// polycrystalline, the ion draws as it starts.  The grains of the
// polycrystalline layers beneath, and the lattice of every amorphous layer,
// are turned here, once per ion from its own stream, in layer order: left
// unturned, they were single crystals, which an ion would meet along their
// planes until its first close collision turned them.  (The run of one
// stream meets them as the ion before left them, turned at random.)
void DrawOrientations(RunState& s) {
  auto crystal = s.Stack.Crystals.begin();
  bool first = true;
  for (const Layer& layer : s.Layers) {
    const bool grain = !first && layer.Kind == POLYCRYSTALLINE;
    if (grain || layer.Kind == AMORPHOUS) crystal->Rotate(s.Rng.RandomRotation());
    first = false;
    ++crystal;
  }
}

}  // namespace

IonWorker::IonWorker() : state_(std::make_unique<RunState>()) {
  state_->KeyedDraws = &siteDraws_;
  // The run reports the bound of rare-event copies, in ion order.
  state_->SplitBoundReported = true;
}

void IonWorker::StartSimulation(RunState& run, int k) {
  RunState& s = *state_;
  simulation_ = static_cast<uint32_t>(k);
  s.Config = run.Config;
  s.Atoms = run.Atoms;
  s.Layers = run.Layers;
  s.Potentials = run.Potentials;
  s.OutputDirectory = run.OutputDirectory;
  s.Current = run.Current;
  s.Temperature = run.Temperature;
  s.IonWeight = run.IonWeight;
  s.Frame = run.Frame;
  s.Thermal = run.Thermal;
  siteDraws_.Reach = LargestThermalShift(s.Thermal);
  CopyStackSharingDensities(run.Stack, s.Stack);
  s.WinA = run.WinA;
  s.WinB = run.WinB;
  s.Geometry = run.Geometry;
  s.LocalStopping = run.LocalStopping;
  s.NonLocalStopping = run.NonLocalStopping;
  s.AveragedStopping = run.AveragedStopping;
  CopyEngineLimits(run.Engine, s.Engine);
  // The ions of a parallel run sum the loss along a path side by side.
  s.Engine.IntegratedLoss = true;
  s.Tallies.StartSimulation(run.Tallies.Tracked, s.Current.RareEvent, s.Config.MaxDepth,
                            s.Current.Dose);
  s.Damage = run.Damage;
}

void IonWorker::StartBatch(const RunState& run, int slot) {
  resultsInHand_ = &results_[slot];
  resultsInHand_->Clear();
  // Of the deposits the ions keep the sums that the results report, and,
  // when they leave damage behind, what they retain in each cell, which
  // the run adds once the batch is done.
  const bool retains = run.Damage.RetainsDamage(run.Engine.Temperature);
  resultsInHand_->Retained = run.Damage.FreshIncrements();
  state_->Damage.Sums = &sums_;
  state_->Damage.Increments = retains ? &resultsInHand_->Retained : nullptr;
  damageAtBatchStart_ = run.Damage.Damage;
  for (int species : run.Tallies.Tracked) {
    AdoptSplitDepths(SplitDepthsOf(run.Tallies.HistogramOf(species)),
                     state_->Tallies.HistogramOf(species));
  }
}

void IonWorker::RestartFor(uint32_t ion) {
  RunState& s = *state_;
  siteDraws_.Ion =
      SeedIonStreams(IonStreamId{s.Config.Seed1, s.Config.Seed2, simulation_, ion}, s.Rng);
  siteDraws_.Searches = 0;
  s.NextIon = ion;
  s.Damage.Damage = damageAtBatchStart_;
  for (Crystal& crystal : s.Stack.Crystals) {
    if (crystal.Orientation() != nullptr) crystal.Unrotate();
  }
  s.CurrentLayer = &s.Layers.Front();
  s.CurrentCrystal = &s.Stack.Crystals.Front();
  s.CurrentLayerSlot = 0;
  UseLayerStopping(s);
  UseCurrentCrystalCell(s);
  DrawOrientations(s);
  s.Engine.Struck.Clear();
  s.Engine.Counters = CollisionCounters();
  s.ClosestImpact2 = 1e10;
  s.RotationCount = 0;
  s.PartnerCount = 0;
}

void IonWorker::Implant(uint32_t ion) {
  RestartFor(ion);
  sums_ = DepositSums();
  ImplantOne(*state_);
  Record(ion);
}

void IonWorker::Record(uint32_t ion) {
  const RunState& s = *state_;
  BatchResults& results = *resultsInHand_;
  IonSummary summary;
  summary.Ion = ion;
  ReduceFinished(s.Finished, ended_);
  results.Finished.insert(results.Finished.end(), ended_.Ended.begin(), ended_.Ended.end());
  summary.Walked = static_cast<uint32_t>(ended_.Walked);
  summary.PathSum = ended_.PathSum;
  summary.Particles = static_cast<uint32_t>(ended_.Ended.size());
  summary.Sums = sums_;
  summary.Rotations = s.RotationCount;
  summary.Partners = s.PartnerCount;
  summary.SimultaneousCollisions = s.Engine.Counters.SimultaneousCollisions;
  summary.PartnerSum = static_cast<uint64_t>(s.Engine.Counters.NSimTotal);  // a count
  summary.SplitBoundHit = s.SplitBoundHit;
  results.Ions.push_back(summary);
}

}  // namespace orvane
