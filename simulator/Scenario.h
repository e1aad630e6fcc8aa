#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// The scenario file simulation.ini: an initialisation file whose sections and
// keys are matched without regard to letter case. Text after ';' is a comment;
// a value written between double quotes keeps its ';' and its outer blanks.
class Scenario {
 public:
  // Reads <folder>/simulation.ini. A missing or unreadable file gives an empty
  // scenario: a workstation with no reader, no card and empty dictionaries.
  static Scenario load(const std::string& folder);
  static Scenario parse(std::string_view text);

  // The first value of the key in the first section that holds it.
  std::optional<std::string> text(std::string_view section, std::string_view key) const;
  // A decimal (or 0x-prefixed hexadecimal) number in [low, high]; anything
  // else counts as missing.
  std::optional<int64_t> number(std::string_view section, std::string_view key, int64_t low, int64_t high) const;

 private:
  struct Entry {
    std::string section;
    std::string key;
    std::string value;
  };
  std::vector<Entry> entries_;
};

// The folder text joined with a file name, with a separator in between when
// the folder does not end with one. Empty for an empty folder.
std::string pathInFolder(const std::string& folder, std::string_view name);

}  // namespace standin
