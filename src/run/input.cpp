#include "run/input.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <ostream>

#include "core/atom.h"
#include "core/fatal.h"
#include "core/replaced_file.h"
#include "core/vector.h"
#include "physics/pair_potentials.h"
#include "run/simulation.h"
#include "target/layer.h"

namespace orvane {

Parameter::Parameter(const char* name, ValueKind kind, void* target, void* templ, std::size_t size)
    : Kind(kind), Target(target), Template(templ), Size(size) {
  std::strncpy(Name, name, kNameSize - 1);
  Name[kNameSize - 1] = '\0';
}

Input::Input(const std::string& fileName) : fileName_(fileName) {}

void Input::Add(const Parameter& parameter) { parameters_.Add(parameter); }

void Input::SetFileName(const std::string& fileName) { fileName_ = fileName; }

std::string Input::ReadWord(std::istream& is, std::size_t limit) {
  std::string word;
  is >> word;
  if (word.size() > limit) {
    Fatal(604, "# Error: Input::ReadParameters, A word longer than " + std::to_string(limit) +
                   " characters in " + fileName_ + ": " + word.substr(0, 40) + "...\n");
  }
  return word;
}

void Input::Unreadable(const Parameter& parameter) {
  Fatal(603, std::string("# Error: Input::ReadParameters, Can't read the value of ") +
                 parameter.Name + " in " + fileName_ + "\n");
}

double Input::ReadNumber(std::istream& is, const Parameter& parameter) {
  double value = 0.0;
  if (!(is >> value)) Unreadable(parameter);
  return value;
}

int32_t Input::ReadInteger(std::istream& is, const Parameter& parameter) {
  const double value = ReadNumber(is, parameter);
  if (!(std::fabs(value) < 2147483648.0)) Unreadable(parameter);
  return static_cast<int32_t>(value);
}

int Input::ReadParameters(int suppressClosing) {
  std::ifstream is(fileName_);
  if (!is) Fatal(300, "# Error: Input::ReadParameters, Can't open " + fileName_ + "\n");
  int matches = 0;
  std::string word = " ";
  while (!is.eof() && !word.empty()) {
    word = ReadWord(is, kKeywordLength);
    if (word.empty()) break;
    Require(parameters_.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
    for (Parameter& parameter : parameters_) {
      if (word != parameter.Name) continue;
      if (parameter.InLayer) layerKeywordSeen_ = true;
      parameter.Read = true;
      ReadValue(is, parameter);
      ++matches;
    }
  }
  // A directory opens like a file but cannot be read.
  if (is.bad()) Fatal(300, "# Error: Input::ReadParameters, Can't read " + fileName_ + "\n");
  is.close();
  if (!suppressClosing) {
    for (const ValueKind kind : {KIND_CLOSE_LAYER, KIND_CLOSE_SIMULATION}) {
      for (const Parameter& parameter : parameters_) {
        if (parameter.Kind != kind) continue;
        // A layer is closed only when the file described one since the last
        // "NextLayer"; otherwise the target keeps the layers read so far (or
        // the default layer when there are none).
        if (kind == KIND_CLOSE_SIMULATION || layerKeywordSeen_) CloseRecord(parameter);
        break;
      }
    }
  }
  return matches;
}

void Input::ReadValue(std::istream& is, Parameter& p) {
  switch (p.Kind) {
    case KIND_INTEGER:
    case KIND_COUNT: *static_cast<int32_t*>(p.Target) = ReadInteger(is, p); break;
    case KIND_REAL: *static_cast<double*>(p.Target) = ReadNumber(is, p); break;
    case KIND_WORD: {
      const std::string word = ReadWord(is, kTextWordLength);
      if (word.size() + 1 > p.Size) {
        Fatal(604, std::string("# Error: Input::ReadParameters, The value of ") + p.Name +
                       " is too long in " + fileName_ + "\n");
      }
      std::memcpy(p.Target, word.c_str(), word.size() + 1);
      break;
    }
    case KIND_VECTOR: {
      Vector v;
      if (!(is >> v)) Unreadable(p);
      *static_cast<Vector*>(p.Target) = v;
      break;
    }
    case KIND_ELEMENT: ReadElement(is, p); break;
    case KIND_LATTICE_SITE: {
      BasisAtom atom;
      int species = 0, type = 0;
      if (!(is >> species >> type >> atom.Position >> atom.EnergyA)) Unreadable(p);
      atom.SpeciesA = atom.SpeciesB = species;
      atom.Fraction = 1.0;
      atom.Type = type;
      atom.EnergyB = atom.EnergyA;
      static_cast<List<BasisAtom>*>(p.Target)->Add(atom);
      break;
    }
    case KIND_FULL_LATTICE_SITE: {
      BasisAtom atom;
      if (!ReadBasisAtom(is, atom)) Unreadable(p);
      static_cast<List<BasisAtom>*>(p.Target)->Add(atom);
      break;
    }
    case KIND_CLOSE_LAYER:
    case KIND_CLOSE_SIMULATION: CloseRecord(p); break;
    case KIND_TEXT: ReadText(is, p); break;
    case KIND_POTENTIAL_PAIR: ReadPotentialPair(is, p); break;
    case KIND_REAL_LIST_CARRIED:
    case KIND_REAL_LIST_ZEROED: ReadRealList(is, p); break;
    case KIND_INTEGER_LIST: ReadIntegerList(is, p); break;
    case KIND_SWITCH: ReadSwitch(is, p); break;
    default: break;
  }
}

void Input::ReadElement(std::istream& is, const Parameter& p) {
  const std::string symbol = ReadWord(is, kKeywordLength);
  int z = 0;
  double w = 0.0, tDebye = 0.0;
  if (!(is >> z >> w >> tDebye)) Unreadable(p);
  if (!Atom::Valid(symbol, w, z)) {
    Fatal(605, "# Error: Input::ReadParameters, Atom " + symbol + " " + std::to_string(z) + " " +
                   std::to_string(w) + " in " + fileName_ +
                   " is not an element (Z must lie in 1..102, the mass be positive and the "
                   "symbol begin with an upper-case letter)\n");
  }
  static_cast<List<Atom>*>(p.Target)->Add(Atom(symbol.c_str(), w, z, tDebye));
}

void Input::ReadPotentialPair(std::istream& is, const Parameter& p) {
  int z1 = 0, z2 = 0, type = 0;
  if (!(is >> z1 >> z2 >> type)) Unreadable(p);
  if (!PairPotentials::InTable(z1, z2) || type < -32768 || type > 32767) {
    Fatal(605, std::string("# Error: Input::ReadParameters, ") + p.Name + " " + std::to_string(z1) +
                   " " + std::to_string(z2) + " " + std::to_string(type) + " in " + fileName_ +
                   ": atomic numbers must lie in 0..99\n");
  }
  static_cast<PairPotentials*>(p.Target)->Type[z1][z2] = static_cast<int16_t>(type);
}

void Input::ReadText(std::istream& is, const Parameter& p) {
  char* target = static_cast<char*>(p.Target);
  std::string text;
  for (;;) {
    std::string word = ReadWord(is, kTextWordLength);
    if (word.empty()) {
      Fatal(600, "# Error: Input::ReadParameters, Incomplete string in " + fileName_ + "\n");
    }
    if (word[0] == ']') break;
    text += word;
    text += ' ';
    if (text.size() + 1 > p.Size) {
      Fatal(604, std::string("# Error: Input::ReadParameters, The text of ") + p.Name +
                     " is longer than " + std::to_string(p.Size - 1) + " characters in " +
                     fileName_ + "\n");
    }
  }
  std::memcpy(target, text.c_str(), text.size() + 1);
}

void Input::ReadRealList(std::istream& is, const Parameter& p) {
  double* entries = static_cast<double*>(p.Target);
  int stored = 0;
  for (;;) {
    const double value = ReadNumber(is, p);
    if (value == 0.0) break;
    if (stored == kListLength) {
      Fatal(601, std::string("# Error: Input::ReadParameters, ") + p.Name +
                     " token must end with 0.0\nMAXLAYER = " + std::to_string(kListLength) + "\n");
    }
    entries[stored++] = value;
  }
  // A list that starts with 0.0 has no number to carry and keeps its entries.
  if (p.Kind == KIND_REAL_LIST_CARRIED && stored == 0) return;
  const double fill = p.Kind == KIND_REAL_LIST_CARRIED ? entries[stored - 1] : 0.0;
  for (int i = stored; i < kListLength; ++i) entries[i] = fill;
}

void Input::ReadIntegerList(std::istream& is, const Parameter& p) {
  int32_t* entries = static_cast<int32_t*>(p.Target);
  int stored = 0;
  for (;;) {
    const int32_t value = ReadInteger(is, p);
    if (value == 0) break;
    if (stored == kIntegerListLength) {
      Fatal(601, std::string("# Error: Input::ReadParameters, ") + p.Name +
                     " token must end with 0.0\nN_ATOMS = " + std::to_string(kIntegerListLength) +
                     "\n");
    }
    entries[stored++] = value;
  }
}

void Input::ReadSwitch(std::istream& is, const Parameter& p) {
  const std::string word = ReadWord(is, kTextWordLength);
  int32_t value;
  if (word == "On" || word == "Yes" || word == "1") {
    value = 1;
  } else if (word == "Off" || word == "No" || word == "0") {
    value = 0;
  } else {
    Fatal(602, std::string("# Boolean error (") + p.Name + ") in: " + fileName_ + "\n");
  }
  *static_cast<int32_t*>(p.Target) = value;
}

void Input::CloseRecord(const Parameter& p) {
  if (p.Kind == KIND_CLOSE_LAYER) {
    Layer* templ = static_cast<Layer*>(p.Template);
    static_cast<List<Layer>*>(p.Target)->Add(*templ);
    *templ = Layer();
    layerKeywordSeen_ = false;
  } else {
    static_cast<List<Simulation>*>(p.Target)->Add(*static_cast<Simulation*>(p.Template));
  }
}

int Input::WriteParameters() {
  ReplacedFile replaced(fileName_);
  std::ofstream& os = replaced.Stream();
  if (!os) {
    std::cerr << "Error: Input::WriteParameters, Can't open " << fileName_ << std::endl;
    return -1;
  }
  int count = 0;
  for (const Parameter& parameter : parameters_) {
    ++count;
    if (parameter.Kind == KIND_FULL_LATTICE_SITE) continue;
    if (parameter.EchoOnlyWhenRead && !parameter.Read) continue;
    os << std::setw(Parameter::kNameSize) << parameter.Name << " = ";
    os << std::setw(10) << std::showpoint << std::setprecision(4);
    WriteValue(os, parameter);
    os.put('\n');
  }
  if (!replaced.Commit()) {
    std::cerr << "Error: Input::WriteParameters, Can't write " << fileName_ << std::endl;
    return -1;
  }
  return count + 1;
}

void Input::WriteValue(std::ostream& os, const Parameter& p) {
  switch (p.Kind) {
    case KIND_INTEGER:
    case KIND_COUNT: os << *static_cast<const int32_t*>(p.Target); break;
    case KIND_REAL: os << *static_cast<const double*>(p.Target); break;
    case KIND_WORD:
    case KIND_TEXT:
      for (const char* c = static_cast<const char*>(p.Target); *c != '\0'; ++c) os << *c;
      break;
    case KIND_VECTOR: os << *static_cast<const Vector*>(p.Target); break;
    case KIND_ELEMENT:
      os << '\n';
      for (const Atom& atom : *static_cast<const List<Atom>*>(p.Target)) os << atom;
      os << '\n';
      break;
    case KIND_LATTICE_SITE:
      os << '\n';
      for (const BasisAtom& atom : *static_cast<const List<BasisAtom>*>(p.Target)) {
        ShowBasisAtom(os, atom);
      }
      os << '\n';
      break;
    case KIND_CLOSE_LAYER:
      os << '\n';
      for (const Layer& layer : *static_cast<const List<Layer>*>(p.Target)) ShowLayer(os, layer);
      os << '\n';
      break;
    case KIND_POTENTIAL_PAIR: {
      os << '\n';
      const PairPotentials& table = *static_cast<const PairPotentials*>(p.Target);
      for (int z1 = 0; z1 < PairPotentials::kSize; ++z1) {
        for (int z2 = 0; z2 < PairPotentials::kSize; ++z2) {
          if (table.Type[z1][z2] == 0) continue;
          os << " Z1 = " << z1 << ", Z2 = " << z2 << ", Type = " << table.Type[z1][z2] << '\n';
        }
      }
      break;
    }
    case KIND_CLOSE_SIMULATION:
      os << '\n';
      for (const Simulation& s : *static_cast<const List<Simulation>*>(p.Target)) {
        WriteSimulation(os, s);
      }
      os << '\n';
      break;
    case KIND_REAL_LIST_CARRIED:
    case KIND_REAL_LIST_ZEROED: {
      const double* entries = static_cast<const double*>(p.Target);
      for (int i = 0; i < kListLength; ++i) os << entries[i] << ",";
      break;
    }
    case KIND_INTEGER_LIST: {
      const int32_t* entries = static_cast<const int32_t*>(p.Target);
      for (int i = 0; i < kIntegerListLength; ++i) os << entries[i] << ",";
      break;
    }
    case KIND_SWITCH: os << (*static_cast<const int32_t*>(p.Target) ? "On" : "Off"); break;
    default: break;
  }
}

}  // namespace orvane
