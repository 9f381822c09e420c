#include "tally/finished_particles.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <ostream>

namespace orvane {

bool EndsIon(int status) { return status >= BACK_SCATTERED && status <= ION_NOT_FOLLOWED; }

int TallyFinishedParticles(const List<Particle>& finished, uint32_t ion, int reType,
                           const Axes& frame, SpeciesTallies& tallies, TallyTotals totals,
                           std::ostream& out) {
  double ionTime = 0.0;
  int walked = 0;
  for (const Particle& particle : finished) {
    ++walked;
    ionTime = std::max(ionTime, particle.Time);
    totals.PathSum += particle.PathLength;
    if (!EndsIon(particle.Status)) continue;
    totals.CollisionTotal += particle.Collisions;
    totals.DistanceTotal += particle.PathLength;
    const double depth = frame.ComponentX(particle.Abs);
    const double e = reType != 0 ? particle.PathLength : depth;
    tallies.HistogramOf(particle.Species).Add(depth, particle.Weight, e, particle.Status, ion);
    tallies.Tally3DOf(particle.Species)
        .Add(frame.Transform(particle.Abs), particle.Weight, particle.PathLength);
    WriteIonLine(out, ion, depth, particle, ionTime);
  }
  return walked;
}

void WriteIonLine(std::ostream& out, uint32_t ion, double depth, const Particle& particle,
                  double ionTime) {
  char time[32];
  std::snprintf(time, sizeof time, " %15g ", ionTime);
  out << std::setw(7) << ion << std::setprecision(4) << std::setw(15) << depth * 0.1
      << std::setprecision(10) << std::setw(15) << particle.Weight << std::setprecision(4)
      << std::setw(15) << particle.PathLength * 0.1 << " " << time;
  if (particle.Status != IMPLANTED_ION) out << StatusName(particle.Status);
  out << "\n";
}

}  // namespace orvane
