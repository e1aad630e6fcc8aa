#include "Scenario.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace standin {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view withoutComment(std::string_view s) {
  const auto semicolon = s.find(';');
  return semicolon == std::string_view::npos ? s : s.substr(0, semicolon);
}

// A value is either quoted (taken as written between the quotes) or runs up
// to the first ';'.
std::string valueOf(std::string_view raw) {
  const std::string_view value = trimmed(raw);
  if (!value.empty() && value.front() == '"') {
    const auto closing = value.find('"', 1);
    if (closing != std::string_view::npos) return std::string(value.substr(1, closing - 1));
  }
  return std::string(trimmed(withoutComment(value)));
}

std::optional<int64_t> parseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

Scenario Scenario::load(const std::string& folder) {
  if (folder.empty()) return {};
  std::ifstream in(pathInFolder(folder, "simulation.ini"), std::ios::binary);
  if (!in) return {};
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return parse(text);
}

Scenario Scenario::parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Scenario scenario;
  std::string section;
  while (!text.empty()) {
    const auto eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimmed(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const auto closing = line.find(']');
      if (closing != std::string_view::npos) section = std::string(trimmed(line.substr(1, closing - 1)));
      continue;
    }
    const auto equals = line.find('=');
    const std::string_view key = trimmed(line.substr(0, equals));
    if (equals == std::string_view::npos || key.empty()) continue;
    scenario.entries_.push_back({section, std::string(key), valueOf(line.substr(equals + 1))});
  }
  return scenario;
}

std::optional<std::string> Scenario::text(std::string_view section, std::string_view key) const {
  for (const Entry& entry : entries_) {
    if (sameIgnoringCase(entry.section, section) && sameIgnoringCase(entry.key, key)) {
      return entry.value;
    }
  }
  return std::nullopt;
}

std::optional<int64_t> Scenario::number(std::string_view section, std::string_view key, int64_t low,
                                        int64_t high) const {
  const auto value = text(section, key);
  if (!value) return std::nullopt;
  const auto parsed = parseNumber(*value);
  if (!parsed || *parsed < low || *parsed > high) return std::nullopt;
  return parsed;
}

std::string pathInFolder(const std::string& folder, std::string_view name) {
  if (folder.empty()) return {};
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace standin
