// What the reader of the parameter file looks at in the words it does not
// use: a word that reads as a mistyped keyword, and a unit written after a
// number, both of which would otherwise pass as a comment.
#pragma once

#include <string>

namespace orvane {

// The number of letters to insert, delete, replace or swap with a neighbour
// to turn one word into the other, case ignored.
int WordDistance(const std::string& a, const std::string& b);

// Whether the word reads as the keyword mistyped: the same but for case,
// or, for a word of five letters or more, one or two letters apart.
bool LooksLikeKeyword(const std::string& word, const std::string& keyword);

// Whether the word is a unit: eV, keV, MeV, nm, A, deg, K, cm-2, at/cm^2 ...
bool IsUnitWord(const std::string& word);

// The unit of a keyword's number ("eV" for ENERGY), empty when it has none
// worth naming.
std::string KeywordUnit(const std::string& keyword);

// Whether the word begins as a number does: a digit, after a sign or a
// point.
bool StartsLikeNumber(const std::string& word);

}  // namespace orvane
