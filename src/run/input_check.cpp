#include "run/input_check.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvane {

namespace {

constexpr std::size_t kShortestNearWord = 5;
constexpr int kMostLettersApart = 2;

std::string Lower(const std::string& word) {
  std::string lower = word;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

int WordDistance(const std::string& a, const std::string& b) {
  const std::string x = Lower(a), y = Lower(b);
  const std::size_t n = x.size(), m = y.size();
  // Three rows of the table: two back for a swap, the last and this one.
  std::vector<int> before(m + 1), last(m + 1), row(m + 1);
  for (std::size_t j = 0; j <= m; ++j) last[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= m; ++j) {
      const int replace = last[j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1);
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, replace});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    before.swap(last);
    last.swap(row);
  }
  return last[m];
}

bool LooksLikeKeyword(const std::string& word, const std::string& keyword) {
  if (word == keyword) return false;
  if (Lower(word) == Lower(keyword)) return true;
  // Words too far apart in length cannot be near; this also spares the
  // table of long words.
  const std::size_t longer = std::max(word.size(), keyword.size());
  const std::size_t shorter = std::min(word.size(), keyword.size());
  if (word.size() < kShortestNearWord || longer - shorter > kMostLettersApart) return false;
  return WordDistance(word, keyword) <= kMostLettersApart;
}

bool IsUnitWord(const std::string& word) {
  // Letters that are units only in this case: "A" for angstrom, "K" for kelvin.
  for (const char* exact : {"A", "K", "\xC3\x85", "\xC2\xB0"}) {
    if (word == exact) return true;
  }
  static const char* const kUnits[] = {
      "ev",        "kev",        "mev",       "gev",       "nm",         "um",
      "\xC2\xB5m", "mm",         "cm",        "ang",       "angstrom",   "angstroms",
      "deg",       "degree",     "degrees",   "rad",       "kelvin",     "cm-2",
      "cm^-2",     "cm2",        "cm^2",      "/cm2",      "/cm^2",      "at/cm2",
      "at/cm^2",   "atoms/cm2",  "atoms/cm^2", "ions/cm2", "ions/cm^2",  "at/cm-2",
      "atoms/cm-2", "ions/cm-2", "%"};
  const std::string lower = Lower(word);
  for (const char* unit : kUnits) {
    if (lower == unit) return true;
  }
  return false;
}

std::string KeywordUnit(const std::string& keyword) {
  struct Unit {
    const char* Keyword;
    const char* Name;
  };
  static const Unit kUnits[] = {
      {"ENERGY", "eV"},       {"EnergySigma", "eV"},     {"ThresholdEnergy", "eV"},
      {"DisplacementEnergy", "eV"}, {"Tha", "degrees"}, {"Phi", "degrees"},
      {"Cut_Tha", "degrees"}, {"Cut_Phi", "degrees"},    {"Dose", "at/cm^2"},
      {"Temperature", "K"},   {"ImplantationArea", "A^2"}, {"XMin", "A"},
      {"XMax", "A"},          {"WinA", "A"},             {"WinB", "A"},
      {"MaxDepth", "A"},      {"InteractionRadius", "A"}, {"AnchoCajas", "A"},
      {"EnergyPercentage", "%"}};
  for (const Unit& unit : kUnits) {
    if (keyword == unit.Keyword) return unit.Name;
  }
  return "";
}

bool StartsLikeNumber(const std::string& word) {
  std::size_t i = 0;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
  if (i < word.size() && word[i] == '.') ++i;
  return i < word.size() && std::isdigit(static_cast<unsigned char>(word[i]));
}

}  // namespace orvane
