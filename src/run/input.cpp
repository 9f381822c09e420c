#include "run/input.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <ostream>
#include <sstream>

#include "core/atom.h"
#include "core/fatal.h"
#include "core/replaced_file.h"
#include "core/vector.h"
#include "physics/pair_potentials.h"
#include "run/input_check.h"
#include "run/simulation.h"
#include "target/layer.h"

namespace orvane {

Parameter::Parameter(const char* name, ValueKind kind, void* target, void* templ, std::size_t size)
    : Kind(kind), Target(target), Template(templ), Size(size) {
  std::strncpy(Name, name, kNameSize - 1);
  Name[kNameSize - 1] = '\0';
}

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// A switch word in any case ("on" is refused as a value, but it is what a
// mistyped switch keyword is followed by as often as "On").
bool IsSwitchWord(const std::string& word) {
  std::string lower = word;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* accepted : {"on", "off", "yes", "no", "1", "0"}) {
    if (lower == accepted) return true;
  }
  return false;
}

// Whether the next word could be the value of the parameter that the word
// misspells, so that the word is taken for a keyword rather than for prose
// ("the energy of" stays quiet, "Energy 30000" does not).
bool CouldBeValueOf(const Parameter& p, const std::string& word, const std::string& next) {
  switch (p.Kind) {
    case KIND_SWITCH: return IsSwitchWord(next);
    case KIND_ELEMENT:
      return !next.empty() && next.size() <= 3 &&
             std::isupper(static_cast<unsigned char>(next[0])) != 0;
    case KIND_TEXT: return word.back() == '[' || (!next.empty() && next[0] == '[');
    case KIND_WORD:
    case KIND_CLOSE_LAYER:
    case KIND_CLOSE_SIMULATION: return true;
    default: return StartsLikeNumber(next);
  }
}

}  // namespace

Input::Input(const std::string& fileName) : fileName_(fileName) {}

void Input::Add(const Parameter& parameter) { parameters_.Add(parameter); }

void Input::SetFileName(const std::string& fileName) { fileName_ = fileName; }

std::size_t Input::Offset(std::istream& is) const {
  // Asked of the buffer, which a failed extraction leaves where it stopped.
  const auto position = is.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
  if (position < 0) return text_.size();
  return std::min(static_cast<std::size_t>(position), text_.size());
}

std::size_t Input::NextWordStart(std::size_t offset) const {
  while (offset < text_.size() && IsSpace(text_[offset])) ++offset;
  return offset;
}

std::string Input::WordAt(std::size_t offset) const {
  std::size_t end = offset;
  while (end < text_.size() && !IsSpace(text_[end])) ++end;
  return text_.substr(offset, end - offset);
}

std::string Input::Place(std::size_t offset) const {
  const auto lines = std::count(text_.begin(), text_.begin() + std::min(offset, text_.size()), '\n');
  return fileName_ + ", line " + std::to_string(lines + 1);
}

void Input::Warn(std::size_t offset, const std::string& text) {
  warnings_.push_back(Place(offset) + ": " + text);
}

std::string Input::ReadWord(std::istream& is, std::size_t limit) {
  const std::size_t start = NextWordStart(Offset(is));
  std::string word;
  is >> word;
  if (word.size() > limit) {
    Fatal(604, "# Error: Input::ReadParameters, A word longer than " + std::to_string(limit) +
                   " characters in " + Place(start) + ": " + word.substr(0, 40) + "...\n");
  }
  return word;
}

void Input::Unreadable(const Parameter& parameter, std::size_t offset, const char* why) {
  const std::size_t start = NextWordStart(offset);
  const std::string word = WordAt(start);
  // At the end of the file, the place is that of its last word.
  const std::size_t place = word.empty() ? text_.find_last_not_of(" \t\n\v\f\r") : start;
  Fatal(603, std::string("# Error: Input::ReadParameters, Can't read the value of ") +
                 parameter.Name + " in " + Place(place) + ": " +
                 (word.empty() ? std::string("the file ends there")
                               : "'" + word.substr(0, 40) + "' " + why) +
                 "\n");
}

template <class Number>
void Input::Extract(std::istream& is, const Parameter& parameter, Number& value) {
  const std::size_t start = Offset(is);
  if (!(is >> value)) Unreadable(parameter, start);
}

double Input::ReadNumber(std::istream& is, const Parameter& parameter) {
  double value = 0.0;
  Extract(is, parameter, value);
  return value;
}

int32_t Input::ReadInteger(std::istream& is, const Parameter& parameter) {
  const std::size_t start = Offset(is);
  const double value = ReadNumber(is, parameter);
  if (!(std::fabs(value) < 2147483648.0)) {
    Unreadable(parameter, start, "is beyond the whole numbers of 32 bits");
  }
  return static_cast<int32_t>(value);
}

void Input::LoadText() {
  std::ifstream file(fileName_, std::ios::binary);
  if (!file) Fatal(300, "# Error: Input::ReadParameters, Can't open " + fileName_ + "\n");
  text_.clear();
  for (std::string line; std::getline(file, line);) {
    text_ += line;
    text_ += '\n';
  }
  // A directory opens like a file but cannot be read.
  if (file.bad()) Fatal(300, "# Error: Input::ReadParameters, Can't read " + fileName_ + "\n");
}

void Input::CheckSkippedWord(const std::string& word, std::size_t offset) {
  const std::string next = WordAt(NextWordStart(offset + word.size()));
  const Parameter* nearest = nullptr;
  int distance = 0;
  for (const Parameter& parameter : parameters_) {
    if (!LooksLikeKeyword(word, parameter.Name) || !CouldBeValueOf(parameter, word, next)) {
      continue;
    }
    const int d = WordDistance(word, parameter.Name);
    if (nearest == nullptr || d < distance) {
      nearest = &parameter;
      distance = d;
    }
  }
  if (nearest == nullptr) return;
  Warn(offset, "'" + word + "' is not a keyword, so it and the value after it are read as a " +
                   "comment: did you mean " + nearest->Name + "?");
}

void Input::CheckAfterNumber(const Parameter& p, std::size_t start, std::size_t end) {
  const std::size_t first = NextWordStart(start);
  const std::string number = text_.substr(first, end - first);
  const std::string name = p.Name;
  if (end < text_.size() && !IsSpace(text_[end])) {
    const std::string rest = WordAt(end);
    const bool separator = rest.size() > 1 && rest[0] == ',' &&
                           std::isdigit(static_cast<unsigned char>(rest[1])) != 0;
    Warn(first, name + " " + WordAt(first) + " is read as " + number + " and '" + rest +
                    "' as a comment" +
                    (separator ? ": write the number without separators" : ""));
    return;
  }
  const std::size_t next = NextWordStart(end);
  const std::string unit = WordAt(next);
  if (!IsUnitWord(unit)) return;
  const std::string own = KeywordUnit(name);
  Warn(next, name + " " + number + " is followed by the unit '" + unit + "', which is not read: " +
                 (own.empty() ? "the run uses " + number
                              : name + " is in " + own + ", so the run uses " + number + " " +
                                    own));
}

int Input::ReadParameters(int suppressClosing) {
  LoadText();
  warnings_.clear();
  std::istringstream is(text_);
  int matches = 0;
  for (;;) {
    const std::size_t start = NextWordStart(Offset(is));
    const std::string word = ReadWord(is, kKeywordLength);
    if (word.empty()) break;
    Require(parameters_.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
    bool matched = false;
    for (Parameter& parameter : parameters_) {
      if (word != parameter.Name) continue;
      if (parameter.InLayer) layerKeywordSeen_ = true;
      parameter.Read = true;
      ReadValue(is, parameter);
      matched = true;
      ++matches;
    }
    if (!matched) CheckSkippedWord(word, start);
  }
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
  const std::size_t start = Offset(is);
  switch (p.Kind) {
    case KIND_INTEGER:
    case KIND_COUNT:
      *static_cast<int32_t*>(p.Target) = ReadInteger(is, p);
      CheckAfterNumber(p, start, Offset(is));
      break;
    case KIND_REAL:
      *static_cast<double*>(p.Target) = ReadNumber(is, p);
      CheckAfterNumber(p, start, Offset(is));
      break;
    case KIND_WORD: {
      const std::string word = ReadWord(is, kTextWordLength);
      if (word.size() + 1 > p.Size) {
        Fatal(604, std::string("# Error: Input::ReadParameters, The value of ") + p.Name +
                       " is too long in " + Place(NextWordStart(start)) + "\n");
      }
      std::memcpy(p.Target, word.c_str(), word.size() + 1);
      break;
    }
    case KIND_VECTOR: {
      Vector v;
      for (double* coordinate : {&v.x, &v.y, &v.z}) Extract(is, p, *coordinate);
      *static_cast<Vector*>(p.Target) = v;
      break;
    }
    case KIND_ELEMENT: ReadElement(is, p); break;
    case KIND_LATTICE_SITE: {
      BasisAtom atom;
      int species = 0, type = 0;
      Extract(is, p, species);
      Extract(is, p, type);
      for (double* coordinate : {&atom.Position.x, &atom.Position.y, &atom.Position.z}) {
        Extract(is, p, *coordinate);
      }
      Extract(is, p, atom.EnergyA);
      atom.SpeciesA = atom.SpeciesB = species;
      atom.Fraction = 1.0;
      atom.Type = type;
      atom.EnergyB = atom.EnergyA;
      static_cast<List<BasisAtom>*>(p.Target)->Add(atom);
      break;
    }
    case KIND_FULL_LATTICE_SITE: {
      BasisAtom atom;
      // The word where the reading stopped is the one that is not a number.
      if (!ReadBasisAtom(is, atom)) Unreadable(p, Offset(is));
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
  const std::size_t start = NextWordStart(Offset(is));
  const std::string symbol = ReadWord(is, kKeywordLength);
  int z = 0;
  double w = 0.0, tDebye = 0.0;
  Extract(is, p, z);
  Extract(is, p, w);
  Extract(is, p, tDebye);
  if (!Atom::Valid(symbol, w, z)) {
    Fatal(605, "# Error: Input::ReadParameters, Atom " + symbol + " " + std::to_string(z) + " " +
                   std::to_string(w) + " in " + Place(start) +
                   " is not an element (Z must lie in 1..102, the mass be positive and the "
                   "symbol begin with an upper-case letter)\n");
  }
  static_cast<List<Atom>*>(p.Target)->Add(Atom(symbol.c_str(), w, z, tDebye));
}

void Input::ReadPotentialPair(std::istream& is, const Parameter& p) {
  const std::size_t start = NextWordStart(Offset(is));
  int z1 = 0, z2 = 0, type = 0;
  Extract(is, p, z1);
  Extract(is, p, z2);
  Extract(is, p, type);
  if (!PairPotentials::InTable(z1, z2) || type < -32768 || type > 32767) {
    Fatal(605, std::string("# Error: Input::ReadParameters, ") + p.Name + " " + std::to_string(z1) +
                   " " + std::to_string(z2) + " " + std::to_string(type) + " in " + Place(start) +
                   ": atomic numbers must lie in 0..99\n");
  }
  static_cast<PairPotentials*>(p.Target)->Type[z1][z2] = static_cast<int16_t>(type);
}

void Input::ReadText(std::istream& is, const Parameter& p) {
  const std::size_t keyword = Offset(is);
  char* target = static_cast<char*>(p.Target);
  std::string text;
  for (;;) {
    const std::size_t start = NextWordStart(Offset(is));
    std::string word = ReadWord(is, kTextWordLength);
    if (word.empty()) {
      Fatal(600, "# Error: Input::ReadParameters, Incomplete string in " + Place(keyword) + ": " +
                     p.Name + " has no closing ]\n");
    }
    if (word[0] == ']') break;
    text += word;
    text += ' ';
    if (text.size() + 1 > p.Size) {
      Fatal(604, std::string("# Error: Input::ReadParameters, The text of ") + p.Name +
                     " is longer than " + std::to_string(p.Size - 1) + " characters in " +
                     Place(start) + "\n");
    }
  }
  std::memcpy(target, text.c_str(), text.size() + 1);
}

[[noreturn]] void Input::TooManyNumbers(const Parameter& p, std::size_t offset,
                                        const std::string& limit) {
  const std::size_t start = NextWordStart(offset);
  Fatal(601, std::string("# Error: Input::ReadParameters, ") + p.Name +
                 " token must end with 0.0 in " + Place(start) + ": '" + WordAt(start) +
                 "' is one number too many\n" + limit + "\n");
}

void Input::ReadRealList(std::istream& is, const Parameter& p) {
  const std::size_t start = Offset(is);
  double* entries = static_cast<double*>(p.Target);
  int stored = 0;
  for (;;) {
    const std::size_t at = Offset(is);
    const double value = ReadNumber(is, p);
    if (value == 0.0) break;
    if (stored == kListLength) TooManyNumbers(p, at, "MAXLAYER = " + std::to_string(kListLength));
    entries[stored++] = value;
  }
  // A list that starts with 0.0 has no number to carry and keeps its entries.
  if (p.Kind == KIND_REAL_LIST_CARRIED && stored == 0) {
    Warn(NextWordStart(start), std::string(p.Name) + " ends before its first number, so it keeps " +
                                   "the values it had");
    return;
  }
  const double fill = p.Kind == KIND_REAL_LIST_CARRIED ? entries[stored - 1] : 0.0;
  for (int i = stored; i < kListLength; ++i) entries[i] = fill;
}

void Input::ReadIntegerList(std::istream& is, const Parameter& p) {
  int32_t* entries = static_cast<int32_t*>(p.Target);
  int stored = 0;
  for (;;) {
    const std::size_t at = Offset(is);
    const int32_t value = ReadInteger(is, p);
    if (value == 0) break;
    if (stored == kIntegerListLength) {
      TooManyNumbers(p, at, "N_ATOMS = " + std::to_string(kIntegerListLength));
    }
    entries[stored++] = value;
  }
  // The list ends at its 0: what an earlier list held after it is gone.
  std::fill(entries + stored, entries + kIntegerListLength, 0);
}

void Input::ReadSwitch(std::istream& is, const Parameter& p) {
  const std::size_t start = NextWordStart(Offset(is));
  const std::string word = ReadWord(is, kTextWordLength);
  int32_t value;
  if (word == "On" || word == "Yes" || word == "1") {
    value = 1;
  } else if (word == "Off" || word == "No" || word == "0") {
    value = 0;
  } else {
    Fatal(602, std::string("# Boolean error (") + p.Name + ") in: " + Place(start) + ": '" +
                   word.substr(0, 40) + "' is not On/Off, Yes/No or 1/0\n");
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
