#include "platform/ini/IniText.h"

#include <stdexcept>
#include <vector>

#include "platform/ini/Windows1252.h"

namespace ini_text {
namespace {

struct Line {
  enum class Kind { Section, Entry, Comment, Blank, Other };
  Kind kind = Kind::Other;
  qsizetype start = 0;       // first byte of the line
  qsizetype textEnd = 0;     // end of the line before its line end
  qsizetype end = 0;         // after its line end
  QString name;              // section name or key
  qsizetype valueStart = 0;  // entries: the value, blanks trimmed
  qsizetype valueEnd = 0;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

qsizetype skipBlanks(const QByteArray& s, qsizetype from, qsizetype to) {
  while (from < to && isBlank(s[from])) ++from;
  return from;
}

qsizetype trimBlanksBefore(const QByteArray& s, qsizetype from, qsizetype to) {
  while (to > from && isBlank(s[to - 1])) --to;
  return to;
}

QString trimmedName(const QByteArray& s, qsizetype from, qsizetype to) {
  from = skipBlanks(s, from, to);
  to = trimBlanksBefore(s, from, to);
  return decodeWindows1252(QByteArrayView(s).sliced(from, to - from));
}

void classify(const QByteArray& s, Line& line) {
  const qsizetype first = skipBlanks(s, line.start, line.textEnd);
  if (first == line.textEnd) {
    line.kind = Line::Kind::Blank;
    return;
  }
  if (s[first] == ';') {
    line.kind = Line::Kind::Comment;
    return;
  }
  const QByteArrayView text = QByteArrayView(s).sliced(first, line.textEnd - first);
  if (s[first] == '[') {
    const qsizetype close = text.lastIndexOf(']');
    if (close > 0) {
      line.kind = Line::Kind::Section;
      line.name = trimmedName(s, first + 1, first + close);
      return;
    }
  }
  const qsizetype equals = text.indexOf('=');
  if (equals >= 0) {
    line.kind = Line::Kind::Entry;
    line.name = trimmedName(s, first, first + equals);
    line.valueStart = skipBlanks(s, first + equals + 1, line.textEnd);
    line.valueEnd = trimBlanksBefore(s, line.valueStart, line.textEnd);
  }
}

std::vector<Line> splitLines(const QByteArray& s) {
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < s.size()) {
    Line line;
    line.start = start;
    const qsizetype newline = s.indexOf('\n', start);
    line.end = newline < 0 ? s.size() : newline + 1;
    line.textEnd = newline < 0 ? s.size() : newline;
    if (line.textEnd > start && s[line.textEnd - 1] == '\r') --line.textEnd;
    classify(s, line);
    lines.push_back(line);
    start = line.end;
  }
  return lines;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The lines of the first section of that name: [header index, end index).
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> findSection(const std::vector<Line>& lines, const QString& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Line::Kind::Section && sameName(lines[i].name, section)) {
      std::size_t end = i + 1;
      while (end < lines.size() && lines[end].kind != Line::Kind::Section) ++end;
      return SectionRange{i, end};
    }
  }
  return std::nullopt;
}

const Line* findEntry(const std::vector<Line>& lines, SectionRange range, const QString& key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].kind == Line::Kind::Entry && sameName(lines[i].name, key)) return &lines[i];
  }
  return nullptr;
}

QByteArrayView unquoted(QByteArrayView value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.sliced(1, value.size() - 2);
  }
  return value;
}

QByteArray lineEndOf(const QByteArray& content) {
  const qsizetype newline = content.indexOf('\n');
  if (newline > 0 && content[newline - 1] == '\r') return "\r\n";
  if (newline >= 0) return "\n";
  return "\r\n";
}

bool holdsLineBreak(const QString& text) {
  return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0'));
}

void checkWritable(const QString& section, const QString& key, const QString& value) {
  if (holdsLineBreak(section) || section.contains(u']')) {
    throw std::invalid_argument("section name cannot be written in an initialisation file");
  }
  const QString trimmedKey = key.trimmed();
  if (trimmedKey.isEmpty() || holdsLineBreak(key) || key.contains(u'=') || trimmedKey.startsWith(u';') ||
      trimmedKey.startsWith(u'[')) {
    throw std::invalid_argument("key cannot be written in an initialisation file");
  }
  if (holdsLineBreak(value)) {
    throw std::invalid_argument("value cannot be written on one line of an initialisation file");
  }
}

// Where a new key goes: after the section's last line that is neither blank
// nor a comment, so that blank lines and the comments heading the next
// section stay where they are.
std::size_t insertionLine(const std::vector<Line>& lines, SectionRange range) {
  std::size_t last = range.header;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].kind != Line::Kind::Blank && lines[i].kind != Line::Kind::Comment) last = i;
  }
  return last;
}

}  // namespace

std::optional<QString> findValue(const QByteArray& content, const QString& section, const QString& key) {
  const std::vector<Line> lines = splitLines(content);
  const std::optional<SectionRange> range = findSection(lines, section);
  if (!range) return std::nullopt;
  const Line* entry = findEntry(lines, *range, key);
  if (!entry) return std::nullopt;
  const QByteArrayView value =
      unquoted(QByteArrayView(content).sliced(entry->valueStart, entry->valueEnd - entry->valueStart));
  return decodeWindows1252(value.first(std::min(value.size(), kMaxValueLength)));
}

QByteArray withValue(const QByteArray& content, const QString& section, const QString& key, const QString& value) {
  checkWritable(section, key, value);
  const QByteArray lineEnd = lineEndOf(content);
  const QByteArray entryText = encodeWindows1252(key.trimmed()) + '=' + encodeWindows1252(value);
  const std::vector<Line> lines = splitLines(content);
  const std::optional<SectionRange> range = findSection(lines, section);
  QByteArray result = content;
  if (!range) {
    if (!result.isEmpty() && !result.endsWith('\n')) result += lineEnd;
    result += '[' + encodeWindows1252(section.trimmed()) + ']' + lineEnd + entryText + lineEnd;
    return result;
  }
  if (const Line* entry = findEntry(lines, *range, key)) {
    return result.replace(entry->valueStart, entry->textEnd - entry->valueStart, encodeWindows1252(value));
  }
  const Line& after = lines[insertionLine(lines, *range)];
  QByteArray inserted = entryText + lineEnd;
  // The last line may end without a line feed (a lone CR included): the new
  // key must not join it.
  if (after.end == content.size() && !content.endsWith('\n')) inserted.prepend(lineEnd);
  return result.insert(after.end, inserted);
}

}  // namespace ini_text
