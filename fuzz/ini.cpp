// Any settings file content and any section, key and value: writing the
// value changes one line (or adds whole lines) and leaves every other byte
// as it was, and reading it back gives the value.
#include <stdexcept>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "platform/ini/IniText.h"
#include "platform/ini/Windows1252.h"

namespace {

bool startsOrEndsWithBlank(const QString& text) {
  return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

bool quoted(const QString& value) {
  return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
}

// Names and values stand in the file without the blanks around them, and a
// read drops a pair of quotes around a value: only names and values without
// either are looked up and read back exactly as they were written.
bool plainNames(const QString& section, const QString& key) {
  return !startsOrEndsWithBlank(section) && !startsOrEndsWithBlank(key);
}
bool plainValue(const QString& value) {
  return !startsOrEndsWithBlank(value) && !quoted(value) && value.size() <= ini_text::kMaxValueLength;
}

// Everything outside one line is kept: what the write removed lies within a
// line, and what it added is either text within that line or whole lines.
void requireOneLineChanged(const QByteArray& before, const QByteArray& after) {
  qsizetype prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  const QByteArray removed = before.mid(prefix, before.size() - prefix - suffix);
  const QByteArray added = after.mid(prefix, after.size() - prefix - suffix);
  FUZZ_REQUIRE(!removed.contains('\n'));
  if (!removed.isEmpty()) FUZZ_REQUIRE(!added.contains('\n'));
  FUZZ_REQUIRE(added.count('\n') <= 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const QString section = decodeWindows1252(bytesOf(input.ConsumeRandomLengthString(40)));
  const QString key = decodeWindows1252(bytesOf(input.ConsumeRandomLengthString(40)));
  const QString value = decodeWindows1252(bytesOf(input.ConsumeRandomLengthString(3000)));
  const QByteArray before = bytesOf(input.ConsumeRemainingBytesAsString());

  QByteArray after;
  try {
    after = ini_text::withValue(before, section, key, value);
  } catch (const std::invalid_argument&) {
    // A name or value that cannot stand on one line is refused outright.
    FUZZ_REQUIRE(section.contains(u'\n') || section.contains(u'\r') || section.contains(QChar(0)) ||
                 section.contains(u']') || key.contains(u'\n') || key.contains(u'\r') || key.contains(QChar(0)) ||
                 key.contains(u'=') || key.trimmed().isEmpty() || key.trimmed().startsWith(u';') ||
                 key.trimmed().startsWith(u'[') || value.contains(u'\n') || value.contains(u'\r') ||
                 value.contains(QChar(0)));
    return 0;
  }

  requireOneLineChanged(before, after);
  FUZZ_REQUIRE(after.contains(encodeWindows1252(value)));
  if (!plainNames(section, key)) return 0;
  const std::optional<QString> read = ini_text::findValue(after, section, key);
  FUZZ_REQUIRE(read.has_value());
  if (plainValue(value)) FUZZ_REQUIRE(*read == value);
  return 0;
}
