// The reader of the keyword parameter file and the writer of its echo,
// "Parameters.out".  The run configuration registers every keyword with the
// kind of value that follows it and the place the value goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/list.h"

namespace orvane {

enum ValueKind : uint8_t {
  KIND_INTEGER = 0,
  KIND_REAL = 1,
  KIND_WORD = 2,
  KIND_VECTOR = 3,
  KIND_COUNT = 4,
  KIND_ELEMENT = 5,
  KIND_LATTICE_SITE = 6,
  KIND_CLOSE_LAYER = 7,
  KIND_TEXT = 8,
  KIND_POTENTIAL_PAIR = 9,
  KIND_CLOSE_SIMULATION = 10,
  KIND_REAL_LIST_CARRIED = 11,
  KIND_FULL_LATTICE_SITE = 12,
  KIND_INTEGER_LIST = 13,
  KIND_SWITCH = 14,
  KIND_REAL_LIST_ZEROED = 15,
};

struct Vector;
struct Atom;
struct Layer;
struct BasisAtom;
struct Simulation;
struct PairPotentials;

struct Parameter {
  static constexpr int kNameSize = 25;
  char Name[kNameSize] = {};
  uint8_t Kind = KIND_INTEGER;
  void* Target = nullptr;
  void* Template = nullptr;
  std::size_t Size = 0;  // capacity in bytes of a word or text target
  bool InLayer = false;  // the keyword describes the layer being read
  // Echoed only when the file names the keyword: a keyword that came after
  // the echo's layout was fixed leaves the echo of files without it as it was.
  bool EchoOnlyWhenRead = false;
  bool Read = false;  // the file named the keyword

  Parameter() = default;
  Parameter(const char* name, ValueKind kind, void* target, void* templ = nullptr,
            std::size_t size = 0);
  // The same parameter marked as a keyword of the layer being read.
  Parameter& OfLayer() {
    InLayer = true;
    return *this;
  }
  Parameter& EchoedWhenRead() {
    EchoOnlyWhenRead = true;
    return *this;
  }
};

class Input {
 public:
  static constexpr int kFileNameSize = 260;
  static constexpr std::size_t kKeywordLength = 95;
  static constexpr std::size_t kTextWordLength = 255;
  static constexpr int kListLength = 5;
  static constexpr int kIntegerListLength = 10;

  explicit Input(const std::string& fileName);

  void Add(const Parameter& parameter);
  void SetFileName(const std::string& fileName);
  const std::string& FileName() const { return fileName_; }
  // Reads the file; returns the number of keyword matches applied.  Unless
  // suppressed, the last layer and simulation are closed at the end.
  int ReadParameters(int suppressClosing);
  // Writes the echo file; returns the number of parameters plus one, or -1.
  int WriteParameters();
  // What the last reading found suspicious, each with the file and the
  // line: a skipped word that reads as a mistyped keyword followed by a
  // value, a unit or other text glued to or written after a keyword's
  // number, a carried list without a number.
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::string ReadWord(std::istream& is, std::size_t limit);
  void ReadValue(std::istream& is, Parameter& parameter);
  double ReadNumber(std::istream& is, const Parameter& parameter);
  int32_t ReadInteger(std::istream& is, const Parameter& parameter);
  void LoadText();
  // Where the stream stands in the text, and the start of the next word
  // from an offset on.
  std::size_t Offset(std::istream& is) const;
  std::size_t NextWordStart(std::size_t offset) const;
  std::string WordAt(std::size_t offset) const;
  // "<file>, line <n>" of an offset in the text.
  std::string Place(std::size_t offset) const;
  void Warn(std::size_t offset, const std::string& text);
  void CheckSkippedWord(const std::string& word, std::size_t offset);
  void CheckAfterNumber(const Parameter& parameter, std::size_t start, std::size_t end);
  void ReadRealList(std::istream& is, const Parameter& parameter);
  void ReadIntegerList(std::istream& is, const Parameter& parameter);
  void ReadText(std::istream& is, const Parameter& parameter);
  void ReadElement(std::istream& is, const Parameter& parameter);
  void ReadPotentialPair(std::istream& is, const Parameter& parameter);
  void ReadSwitch(std::istream& is, const Parameter& parameter);
  void CloseRecord(const Parameter& parameter);
  void WriteValue(std::ostream& os, const Parameter& parameter);
  // Reads one number of the value; one that cannot be read ends the run.
  template <class Number>
  void Extract(std::istream& is, const Parameter& parameter, Number& value);
  // The word at the offset (or the end of the file) cannot be read.
  [[noreturn]] void Unreadable(const Parameter& parameter, std::size_t offset,
                               const char* why = "is not a number");
  [[noreturn]] void TooManyNumbers(const Parameter& parameter, std::size_t offset,
                                   const std::string& limit);

  List<Parameter> parameters_;
  std::string fileName_;
  bool layerKeywordSeen_ = false;
  std::string text_;  // the file being read
  std::vector<std::string> warnings_;
};

}  // namespace orvane
