#include "app/RtfWriter.h"

#include <vector>

#include "platform/ini/Windows1252.h"

namespace {

int colorIndex(std::vector<Colorref>& table, Colorref color) {
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i] == color) return int(i) + 1;  // index 0 is the reader's default colour
  table.push_back(color);
  return int(table.size());
}

void appendEscaped(QByteArray& out, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text.at(i).unicode();
    if (c == u'\r') {
      if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
      out += "\\par\r\n";
    } else if (c == u'\n') {
      out += "\\par\r\n";
    } else if (c == u'\t') {
      out += "\\tab ";
    } else if (c == u'\\' || c == u'{' || c == u'}') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20 || c == 0x7F) {
      // Other control characters have no place in a log line, and RTF is
      // 7-bit printable text.
    } else if (c < 0x80) {
      out += char(c);
    } else {
      // \uN takes a signed 16-bit number; readers without Unicode support
      // show the Windows-1252 byte that follows it instead ("?" when the
      // code page lacks the character).
      out += "\\u" + QByteArray::number(int(int16_t(c)));
      const QByteArray ansi = encodeWindows1252(QStringView(&text.data()[i], 1));
      if (ansi == "?") {
        out += '?';
      } else {
        out += "\\'" + ansi.toHex();
      }
    }
  }
}

QByteArray runFormat(const TextRun& run, int color) {
  QByteArray f = "\\plain\\f0\\fs16";
  if (run.style & fsBold) f += "\\b";
  if (run.style & fsItalic) f += "\\i";
  if (run.style & fsUnderline) f += "\\ul";
  if (run.style & fsStrikeOut) f += "\\strike";
  f += "\\cf" + QByteArray::number(color) + ' ';
  return f;
}

}  // namespace

QByteArray toRtf(const StyledText& text) {
  std::vector<Colorref> table;
  std::vector<int> runColors;
  for (const TextRun& run : text.runs()) runColors.push_back(colorIndex(table, run.color));

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
  out += "{\\fonttbl{\\f0\\fswiss\\fcharset0 Tahoma;}}\r\n";
  out += "{\\colortbl ;";
  for (Colorref c : table) {
    out += "\\red" + QByteArray::number(colors::redOf(c)) + "\\green" + QByteArray::number(colors::greenOf(c)) +
           "\\blue" + QByteArray::number(colors::blueOf(c)) + ';';
  }
  out += "}\r\n\\viewkind4\\pard\\f0\\fs16 ";
  for (size_t i = 0; i < text.runs().size(); ++i) {
    const TextRun& run = text.runs()[i];
    out += '{';
    out += runFormat(run, runColors[i]);
    appendEscaped(out, run.text);
    out += '}';
  }
  out += "\r\n}\r\n";
  return out;
}
