#include "platform/ini/IniText.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/ini/Windows1252.h"

namespace ini_text {
namespace {

// The two kinds of text the rules work on: bytes of the Windows-1252 code
// page, or UTF-16 code units. Every character the rules look at is ASCII, so
// both are scanned alike, one unit at a time.
template <typename Text>
struct Units;

template <>
struct Units<QByteArray> {
  static char16_t at(const QByteArray& s, qsizetype i) { return static_cast<unsigned char>(s[i]); }
  static QString decode(const QByteArray& s, qsizetype from, qsizetype to) {
    return decodeWindows1252(QByteArrayView(s).sliced(from, to - from));
  }
  static QByteArray encode(QStringView text) { return encodeWindows1252(text); }
  static QByteArray ascii(const char* text) { return QByteArray(text); }
};

template <>
struct Units<QString> {
  static char16_t at(const QString& s, qsizetype i) { return s[i].unicode(); }
  static QString decode(const QString& s, qsizetype from, qsizetype to) { return s.sliced(from, to - from); }
  static QString encode(QStringView text) { return text.toString(); }
  static QString ascii(const char* text) { return QString::fromLatin1(text); }
};

struct Line {
  enum class Kind { Section, Entry, Comment, Blank, Other };
  Kind kind = Kind::Other;
  qsizetype start = 0;       // first unit of the line
  qsizetype textEnd = 0;     // end of the line before its line end
  qsizetype end = 0;         // after its line end
  QString name;              // section name or key
  qsizetype valueStart = 0;  // entries: the value, blanks trimmed
  qsizetype valueEnd = 0;
};

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

template <typename Text>
qsizetype skipBlanks(const Text& s, qsizetype from, qsizetype to) {
  while (from < to && isBlank(Units<Text>::at(s, from))) ++from;
  return from;
}

template <typename Text>
qsizetype trimBlanksBefore(const Text& s, qsizetype from, qsizetype to) {
  while (to > from && isBlank(Units<Text>::at(s, to - 1))) --to;
  return to;
}

// The first (or with `last`, the last) unit c in [from, to), or -1.
template <typename Text>
qsizetype find(const Text& s, char16_t c, qsizetype from, qsizetype to, bool last = false) {
  qsizetype found = -1;
  for (qsizetype i = from; i < to; ++i) {
    if (Units<Text>::at(s, i) != c) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

template <typename Text>
QString trimmedName(const Text& s, qsizetype from, qsizetype to) {
  from = skipBlanks(s, from, to);
  to = trimBlanksBefore(s, from, to);
  return Units<Text>::decode(s, from, to);
}

template <typename Text>
void classify(const Text& s, Line& line) {
  const qsizetype first = skipBlanks(s, line.start, line.textEnd);
  if (first == line.textEnd) {
    line.kind = Line::Kind::Blank;
    return;
  }
  const char16_t lead = Units<Text>::at(s, first);
  if (lead == u';') {
    line.kind = Line::Kind::Comment;
    return;
  }
  if (lead == u'[') {
    const qsizetype close = find(s, u']', first + 1, line.textEnd, true);
    if (close > first) {
      line.kind = Line::Kind::Section;
      line.name = trimmedName(s, first + 1, close);
      return;
    }
  }
  const qsizetype equals = find(s, u'=', first, line.textEnd);
  if (equals >= 0) {
    line.kind = Line::Kind::Entry;
    line.name = trimmedName(s, first, equals);
    line.valueStart = skipBlanks(s, equals + 1, line.textEnd);
    line.valueEnd = trimBlanksBefore(s, line.valueStart, line.textEnd);
  }
}

template <typename Text>
std::vector<Line> splitLines(const Text& s) {
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < s.size()) {
    Line line;
    line.start = start;
    const qsizetype newline = find(s, u'\n', start, s.size());
    line.end = newline < 0 ? s.size() : newline + 1;
    line.textEnd = newline < 0 ? s.size() : newline;
    if (line.textEnd > start && Units<Text>::at(s, line.textEnd - 1) == u'\r') --line.textEnd;
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

template <typename Text>
bool endsWithLineFeed(const Text& s) {
  return !s.isEmpty() && Units<Text>::at(s, s.size() - 1) == u'\n';
}

template <typename Text>
Text lineEndOf(const Text& content) {
  const qsizetype newline = find(content, u'\n', 0, content.size());
  if (newline > 0 && Units<Text>::at(content, newline - 1) == u'\r') return Units<Text>::ascii("\r\n");
  if (newline >= 0) return Units<Text>::ascii("\n");
  return Units<Text>::ascii("\r\n");
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

template <typename Text>
std::optional<QString> findValueIn(const Text& content, const QString& section, const QString& key) {
  const std::vector<Line> lines = splitLines(content);
  const std::optional<SectionRange> range = findSection(lines, section);
  if (!range) return std::nullopt;
  const Line* entry = findEntry(lines, *range, key);
  if (!entry) return std::nullopt;
  qsizetype from = entry->valueStart;
  qsizetype to = entry->valueEnd;
  const char16_t quote = to - from >= 2 ? Units<Text>::at(content, from) : u'\0';
  if ((quote == u'"' || quote == u'\'') && Units<Text>::at(content, to - 1) == quote) {
    ++from;
    --to;
  }
  return Units<Text>::decode(content, from, std::min(to, from + kMaxValueLength));
}

template <typename Text>
Text withValueIn(const Text& content, const QString& section, const QString& key, const QString& value) {
  using U = Units<Text>;
  checkWritable(section, key, value);
  const Text lineEnd = lineEndOf(content);
  const Text entryText = U::encode(key.trimmed()) + U::ascii("=") + U::encode(value);
  const std::vector<Line> lines = splitLines(content);
  const std::optional<SectionRange> range = findSection(lines, section);
  Text result = content;
  if (!range) {
    if (!result.isEmpty() && !endsWithLineFeed(result)) result += lineEnd;
    result += U::ascii("[") + U::encode(section.trimmed()) + U::ascii("]") + lineEnd + entryText + lineEnd;
    return result;
  }
  if (const Line* entry = findEntry(lines, *range, key)) {
    return result.replace(entry->valueStart, entry->textEnd - entry->valueStart, U::encode(value));
  }
  const Line& after = lines[insertionLine(lines, *range)];
  Text inserted = entryText + lineEnd;
  // The last line may end without a line feed (a lone CR included): the new
  // key must not join it.
  if (after.end == content.size() && !endsWithLineFeed(content)) inserted.prepend(lineEnd);
  return result.insert(after.end, inserted);
}

}  // namespace

std::optional<QString> findValue(const QByteArray& content, const QString& section, const QString& key) {
  return findValueIn(content, section, key);
}

std::optional<QString> findValue(const QString& content, const QString& section, const QString& key) {
  return findValueIn(content, section, key);
}

QByteArray withValue(const QByteArray& content, const QString& section, const QString& key, const QString& value) {
  return withValueIn(content, section, key, value);
}

QString withValue(const QString& content, const QString& section, const QString& key, const QString& value) {
  return withValueIn(content, section, key, value);
}

}  // namespace ini_text
