#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Workstation.h"

namespace standin {

// One journal line: the call's name, its inputs, " -> ", then what it wrote,
// e.g. "Lec_RetraitMhtVitale session=1 -> status=0 error=0". Texts are written
// between double quotes so that blanks and empty texts stay readable; a quote,
// a backslash or a control character inside them is escaped (\", \\, \xNN).
class JournalLine {
 public:
  explicit JournalLine(std::string_view function);

  JournalLine& number(std::string_view name, int64_t value);
  JournalLine& text(std::string_view name, std::string_view value);
  JournalLine& word(std::string_view name, std::string_view value);
  // Starts the outputs with the status and the error code.
  JournalLine& wrote(Outcome outcome);

  const std::string& str() const { return line_; }

 private:
  std::string line_;
};

// Appends the line to journal.log in the workstation's folder when its
// scenario turns the journal on. A journal that cannot be written is skipped:
// the calls never fail because of it.
void appendToJournal(const Workstation& workstation, const JournalLine& line);

}  // namespace standin
