// Text values of the parameter file: the reader appends one blank after
// every word it stores, so a stored text ends with a blank that the users
// of a bare name or prefix take off.
#pragma once

#include <cstring>
#include <string>

namespace orvane {

// Takes the final character off the text in place; an empty text stays
// empty.
inline void StripFinalBlank(char* text) {
  const std::size_t length = std::strlen(text);
  if (length > 0) text[length - 1] = '\0';
}

// The text without its final character; an empty text stays empty.
inline std::string WithoutFinalBlank(const std::string& text) {
  return text.empty() ? text : text.substr(0, text.size() - 1);
}

}  // namespace orvane
