#include "Journal.h"

#include <fstream>

namespace standin {
namespace {

// Keeps one call on one line whatever bytes a caller passes: quotes,
// backslashes and control characters are escaped, other bytes kept as given.
std::string escaped(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

JournalLine::JournalLine(std::string_view function) : line_(function) {}

JournalLine& JournalLine::number(std::string_view name, int64_t value) { return word(name, std::to_string(value)); }

JournalLine& JournalLine::text(std::string_view name, std::string_view value) {
  std::string quoted = "\"";
  quoted += escaped(value);
  quoted += '"';
  return word(name, quoted);
}

JournalLine& JournalLine::word(std::string_view name, std::string_view value) {
  line_ += ' ';
  line_ += name;
  line_ += '=';
  line_ += value;
  return *this;
}

JournalLine& JournalLine::wrote(Outcome outcome) {
  line_ += " ->";
  number("status", outcome.status);
  return number("error", outcome.error);
}

void appendToJournal(const Workstation& workstation, const JournalLine& line) {
  if (workstation.folder().empty() || !workstation.journalActive()) return;
  std::ofstream journal(pathInFolder(workstation.folder(), "journal.log"), std::ios::binary | std::ios::app);
  journal << line.str() << '\n';
}

}  // namespace standin
