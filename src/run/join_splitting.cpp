#include "run/join_splitting.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <utility>
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
  double Smallest = 0.0;  // the smallest concentration above 0 read
};

// One species of a group: the sum of its pieces so far.
struct JoinedSpecies {
  int Species = 0;
  bool Joined = false;  // false when its first piece could not be read
  Profile Sum;
  // Of every piece read, the cell width (nm) and the smallest concentration.
  std::vector<std::pair<double, double>> SmallestOfPieces;
};

void AddHeader(ProfileHeader& sum, const ProfileHeader& piece) {
  sum.Marker = piece.Marker;
  sum.Trajectories += piece.Trajectories;
  sum.RealIons += piece.RealIons;
  sum.VirtualIons += piece.VirtualIons;
  sum.Further += piece.Further;
}

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
    if (conc > 0.0 && (profile.Smallest == 0.0 || conc < profile.Smallest)) {
      profile.Smallest = conc;
    }
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
  joined.SmallestOfPieces.push_back({depth1 / VarHist::kCells, first.Smallest});
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
  joined.SmallestOfPieces.push_back({depth2 / VarHist::kCells, second.Smallest});
  VarHist& sum = joined.Sum.Cells;
  if (sum.Stop > second.Cells.Stop) {
    second.Cells.Rebin(0.0f, sum.Stop);
  } else {
    sum.Rebin(0.0f, second.Cells.Stop);
  }
  for (int i = 0; i < VarHist::kCells; ++i) sum.Cells[i] += second.Cells.Cells[i];
  AddHeader(joined.Sum.Header, second.Header);
}

// The last cell that the joined file writes: the deepest that is not 0.
int LastCellWritten(const VarHist& cells) {
  int last = VarHist::kCells - 1;
  while (last > 0 && cells.Cells[last] == 0.0f) --last;
  return last;
}

void WriteJoined(const std::string& path, const Profile& profile) {
  std::cout << "Writting ... " << path << std::endl;
  const int last = LastCellWritten(profile.Cells);
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

// The joined profile as its file holds it.
JoinedProfile Written(const JoinedSpecies& joined, const DoseGroup& group, int g,
                      const std::string& path) {
  JoinedProfile result;
  result.Group = group;
  result.GroupNumber = g;
  result.Species = joined.Species;
  result.FileName = path;
  const VarHist& cells = joined.Sum.Cells;
  const int count = LastCellWritten(cells) + 1;
  for (int j = 0; j < count; ++j) result.Profile.Cells.push_back(cells.Cells[j]);
  result.Profile.Extent = count * static_cast<double>(cells.Width) * 10.0;  // angstrom
  // One ion of a piece, spread over a wider cell of the sum, keeps its
  // atoms: its concentration falls with the width.
  const double width = cells.Width;
  for (const auto& [pieceWidth, smallest] : joined.SmallestOfPieces) {
    result.OneIonConcentration =
        std::max(result.OneIonConcentration, smallest * pieceWidth / width);
  }
  return result;
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

std::vector<DoseGroup> DoseGroups(const SimulationList& simulations) {
  std::vector<DoseGroup> groups;
  int number = 0;
  bool open = false;  // the last group waits for more pieces
  for (const Simulation& piece : simulations) {
    ++number;
    if (!open) groups.push_back(DoseGroup{number, 0, true});
    DoseGroup& group = groups.back();
    ++group.Pieces;
    open = piece.DoseSplitting == 1 && group.Pieces < Simulation::kPieces;
  }
  if (open) groups.back().Complete = false;
  return groups;
}

int GroupOfPiece(const std::vector<DoseGroup>& groups, int piece) {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (piece >= groups[g].FirstPiece && piece <= groups[g].LastPiece()) {
      return static_cast<int>(g);
    }
  }
  return -1;
}

std::vector<JoinedProfile> JoinSplitting(const SimulationList& simulations,
                                         const std::string& outputDirectory,
                                         const std::string& hstFile) {
  Require(!simulations.Empty(), "Begin!=NULL", "list", 135);
  std::vector<const Simulation*> pieces;
  for (const Simulation& piece : simulations) pieces.push_back(&piece);
  std::vector<JoinedProfile> written;
  int g = 0;
  for (const DoseGroup& dose : DoseGroups(simulations)) {
    ++g;
    std::vector<JoinedSpecies> group;
    const Simulation& first = *pieces[dose.FirstPiece - 1];
    for (int species : SpeciesOf(first)) group.push_back(JoinedSpecies{species, false, {}, {}});
    for (JoinedSpecies& joined : group) {
      ReadFirstPiece(PieceFileName(outputDirectory, hstFile, dose.FirstPiece, joined.Species), g,
                     joined);
    }
    for (int s = dose.FirstPiece + 1; s <= dose.LastPiece(); ++s) {
      for (JoinedSpecies& joined : group) {
        if (!joined.Joined) continue;
        AddLaterPiece(PieceFileName(outputDirectory, hstFile, s, joined.Species), joined);
      }
    }
    if (!dose.Complete) Fatal(406, "# Error en MAINLOOP: JoinSplitting()\n");
    for (const JoinedSpecies& joined : group) {
      if (!joined.Joined) continue;
      const std::string path = JoinedFileName(outputDirectory, hstFile, g, joined.Species);
      WriteJoined(path, joined.Sum);
      written.push_back(Written(joined, dose, g, path));
    }
  }
  return written;
}

}  // namespace orvane
