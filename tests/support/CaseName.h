#pragma once

#include <cctype>
#include <string>
#include <string_view>

// A parameterised test's name made of a case's own text, so that test names
// read as words and stay the same from build to build: letters and digits
// are kept, every other character becomes an underscore, a leading minus
// sign reads "minus", and an empty text is "empty".
inline std::string caseName(std::string_view text) {
  if (text.empty()) return "empty";
  std::string name;
  if (text.front() == '-') {
    name = "minus";
    text.remove_prefix(1);
  }
  for (const char c : text) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}
