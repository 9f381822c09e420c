#include "tally/finished_particles.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <ostream>

namespace orvane {

bool EndsIon(int status) { return status >= BACK_SCATTERED && status <= ION_NOT_FOLLOWED; }

void ReduceFinished(const List<Particle>& finished, FinishedIon& ion) {
  ion.Walked = 0;
  ion.PathSum = 0.0;
  ion.Ended.clear();
  double time = 0.0;
  for (const Particle& particle : finished) {
    ++ion.Walked;
    time = std::max(time, particle.Time);
    ion.PathSum += particle.PathLength;
    if (!EndsIon(particle.Status)) continue;
    ion.Ended.push_back(EndedIon{particle.Abs, particle.Weight, particle.PathLength, time,
                                 particle.Collisions, particle.Status, particle.Species});
  }
}

int TallyFinishedParticles(const FinishedIon& ion, uint32_t ionNumber, int reType,
                           const Axes& frame, SpeciesTallies& tallies, TallyTotals totals,
                           std::ostream& out) {
  totals.PathSum += ion.PathSum;
  for (const EndedIon& ended : ion.Ended) {
    totals.CollisionTotal += ended.Collisions;
    totals.DistanceTotal += ended.PathLength;
    const double depth = frame.ComponentX(ended.Abs);
    const double e = reType != 0 ? ended.PathLength : depth;
    tallies.HistogramOf(ended.Species).Add(depth, ended.Weight, e, ended.Status, ionNumber);
    tallies.Tally3DOf(ended.Species)
        .Add(frame.Transform(ended.Abs), ended.Weight, ended.PathLength);
    WriteIonLine(out, ionNumber, depth, ended);
  }
  return ion.Walked;
}

void WriteIonLine(std::ostream& out, uint32_t ionNumber, double depth, const EndedIon& ended) {
  char time[32];
  std::snprintf(time, sizeof time, " %15g ", ended.Time);
  out << std::setw(7) << ionNumber << std::setprecision(4) << std::setw(15) << depth * 0.1
      << std::setprecision(10) << std::setw(15) << ended.Weight << std::setprecision(4)
      << std::setw(15) << ended.PathLength * 0.1 << " " << time;
  if (ended.Status != IMPLANTED_ION) out << StatusName(ended.Status);
  out << "\n";
}

}  // namespace orvane
