// The reports that frame each simulation: its header before the first ion
// and its statistics after the last.
#pragma once

#include <vector>

#include "run/join_splitting.h"
#include "run/run_state.h"
#include "run/run_summary.h"

namespace orvane {

// The beam direction in the implant frame for a polar angle tha and an
// azimuth phi, in degrees.
Vector BeamDirection(const Axes& frame, double tha, double phi);

// The real ions that one simulated ion stands for: dose (atoms/cm^2) times
// area (square angstrom) over the ions, 1e16 square angstrom to the cm^2;
// 0 for a simulation without ions.
double EffectiveWeight(double dose, double area, int ions);

// Copies the simulation into the state, sets its beam direction, thermal
// amplitudes and weight, and prints the column header of the ion lines.
void SimulationHeader(RunState& state, const Simulation& simulation, int k);

// What the summary block of a species of simulation k says besides its
// profile, after the given ions and wall time.
SummaryContext SpeciesSummaryContext(RunState& state, int k, int species, int ions,
                                     double seconds);

// The report after the last ion of simulation k.
void Statistics(RunState& state, int k);

// The damage profile, and the profiles, moments, 3-D histograms and
// coordinates of every species of simulation k, after the given number of
// its ions: what a run that is interrupted keeps (and records).
void SaveResultsSoFar(RunState& state, int k, uint32_t ions);

// The summary of the whole dose of every simulation run in dose pieces,
// from its joined profile, and with "SavePNG" the picture of that profile,
// "<joined file>.png".  Groups of one piece were summed up by their
// statistics report.
void ReportJoinedProfiles(RunState& state, const std::vector<JoinedProfile>& joined);

// Plots the stored profiles and damage of every simulation, one after the
// other at the press of enter, without simulating any ion.
void DisplayOnly(RunState& state, int mode);

}  // namespace orvane
