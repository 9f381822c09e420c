#include "run/join_splitting.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "damage/varhst.h"
#include "tally/result_names.h"
#include "tally/tracked_species.h"

namespace orvane {

namespace {

// Profile lines read from the first piece and from each later piece.
constexpr int kFirstPieceLines = 100;
constexpr int kLaterPieceLines = 101;

// The first line of a profile file: the marker, the trajectories, the real
// ions, the virtual ions and the concentration above the surface.
struct ProfileHeader {
  char Marker = '#';
  int Trajectories = 0;
  double RealIons = 0.0;
  int VirtualIons = 0;
  double Further = 0.0;
};

// A profile read back from a piece file: concentrations (atoms/cm^3) in
// 100 equal cells that reach 100/99 of the last depth read (nm).
struct Profile {
  ProfileHeader Header;
  VarHist Cells;
  double LastDepth = 0.0;
  int Lines = 0;
};

// One species of a group: the sum of its pieces so far.
struct JoinedSpecies {
  int Species = 0;
  bool Joined = false;  // false when its first piece could not be read
  Profile Sum;
};

bool ReadProfile(const std::string& path, int maxLines, Profile& profile) {
  std::cout << "Reading ... " << path << std::endl;
  std::ifstream file(path);
  if (!file) return false;
  ProfileHeader& h = profile.Header;
  file >> h.Marker >> h.Trajectories >> h.RealIons >> h.VirtualIons >> h.Further;
  std::cout << h.Marker << " " << h.Trajectories << " " << h.RealIons << " " << h.VirtualIons << " "
            << h.Further << std::endl;
  double depth, conc, low, high;
  while (profile.Lines < maxLines && file >> depth >> conc >> low >> high) {
    if (profile.Lines < VarHist::kCells) profile.Cells.Cells[profile.Lines] = conc;
    profile.LastDepth = depth;
    ++profile.Lines;
  }
  return true;
}

// The range of the profile: 100 cells whose last starts at the last depth.
double RangeOf(const Profile& profile) { return profile.LastDepth * 100.0 / 99.0; }

void ReadFirstPiece(const std::string& path, int group, JoinedSpecies& joined) {
  Profile& first = joined.Sum;
  if (!ReadProfile(path, kFirstPieceLines, first)) {
    std::cerr << "# Error: JoinSplitting, Can't open " << path << ": species " << joined.Species
              << " of group " << group << " is not joined" << std::endl;
    return;
  }
  std::cout << "Profile 1 (Prof= " << first.LastDepth << " ) N=" << first.Lines - 1 << std::endl;
  const double depth1 = RangeOf(first);
  // A piece whose ions all left the target (or that had none) has no depth.
  if (!(depth1 > 0)) {
    std::cerr << "# Warning: JoinSplitting, " << path << " holds no implanted ion: species "
              << joined.Species << " of group " << group << " is not joined" << std::endl;
    return;
  }
  first.Cells.SetRange(0.0f, static_cast<float>(depth1));
  joined.Joined = true;
}

// Adds a later piece, both profiles brought to the larger of their ranges.
void AddLaterPiece(const std::string& path, JoinedSpecies& joined) {
  Profile second;
  if (!ReadProfile(path, kLaterPieceLines, second)) {
    std::cerr << "Error" << std::endl;
    return;
  }
  std::cout << "Perfil 2 (Prof= " << second.LastDepth << " ) N=" << second.Lines - 1 << std::endl;
  const double depth2 = RangeOf(second);
  if (!(depth2 > 0)) {
    std::cerr << "# Warning: JoinSplitting, " << path
              << " holds no implanted ion and is left out of the sum" << std::endl;
    return;
  }
  second.Cells.SetRange(0.0f, static_cast<float>(depth2));
  VarHist& sum = joined.Sum.Cells;
  if (sum.Stop > second.Cells.Stop) {
    second.Cells.Rebin(0.0f, sum.Stop);
  } else {
    sum.Rebin(0.0f, second.Cells.Stop);
  }
  for (int i = 0; i < VarHist::kCells; ++i) sum.Cells[i] += second.Cells.Cells[i];
  joined.Sum.Header = second.Header;
}

void WriteJoined(const std::string& path, const Profile& profile) {
  std::cout << "Writting ... " << path << std::endl;
  int last = VarHist::kCells - 1;
  while (last > 0 && profile.Cells.Cells[last] == 0.0f) --last;
  ReplacedFile replaced(path);
  if (!replaced.OpenOrWarn("JoinSplitting")) return;
  std::ofstream& file = replaced.Stream();
  const ProfileHeader& h = profile.Header;
  file << h.Marker << " " << h.Trajectories << " " << h.RealIons << " " << h.VirtualIons << " "
       << h.Further << "\n";
  for (int j = 0; j <= last; ++j) {
    file << j * profile.Cells.Width << " " << profile.Cells.Cells[j] << "\n";
  }
  file << "# The two first numbers after the # means:\n"
       << "#  Trajectories, Real ions = NumberOfImplants*EffectiveWeigth, Virtual ions\n"
       << "# Next numbers are:\n"
       << "#  Depth(nm), Conc. (at/cm^3)\n";
  replaced.CommitOrWarn("JoinSplitting");
}

// The species whose profiles a piece wrote.
TrackedSpecies SpeciesOf(const Simulation& piece) {
  int32_t slots[Simulation::kSpecies];
  for (int i = 0; i < Simulation::kSpecies; ++i) slots[i] = piece.Projectiles[i];
  if (slots[0] == 0) slots[0] = piece.ImplantedElement;
  return TrackedSpecies(slots);
}

}  // namespace

std::string PieceFileName(const std::string& outputDirectory, const std::string& hstFile, int s,
                          int species) {
  return ProfileFileName(outputDirectory, HistogramPrefix(hstFile, s), species);
}

std::string JoinedFileName(const std::string& outputDirectory, const std::string& hstFile, int g,
                           int species) {
  char number[16];
  std::snprintf(number, sizeof number, "_%02d", species);
  return outputDirectory + "/" + HistogramPrefix(hstFile, g) + number;
}

void JoinSplitting(const SimulationList& simulations, const std::string& outputDirectory,
                   const std::string& hstFile) {
  Require(!simulations.Empty(), "Begin!=NULL", "list", 135);
  std::vector<const Simulation*> pieces;
  for (const Simulation& piece : simulations) pieces.push_back(&piece);
  std::size_t s = 0;  // the piece in hand; its simulation number is s + 1
  for (int g = 1; s < pieces.size(); ++g, ++s) {
    std::vector<JoinedSpecies> group;
    for (int species : SpeciesOf(*pieces[s])) group.push_back(JoinedSpecies{species, false, {}});
    for (JoinedSpecies& joined : group) {
      ReadFirstPiece(PieceFileName(outputDirectory, hstFile, s + 1, joined.Species), g, joined);
    }
    for (int count = 1; pieces[s]->DoseSplitting == 1 && count < Simulation::kPieces; ++count) {
      if (++s == pieces.size()) Fatal(406, "# Error en MAINLOOP: JoinSplitting()\n");
      for (JoinedSpecies& joined : group) {
        if (!joined.Joined) continue;
        AddLaterPiece(PieceFileName(outputDirectory, hstFile, s + 1, joined.Species), joined);
      }
    }
    for (const JoinedSpecies& joined : group) {
      if (joined.Joined) {
        WriteJoined(JoinedFileName(outputDirectory, hstFile, g, joined.Species), joined.Sum);
      }
    }
  }
}

}  // namespace orvane
