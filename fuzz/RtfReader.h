#pragma once

// A strict reader for the RTF the log is saved as: it accepts only a 7-bit
// document made of one group that starts with \rtf1, with balanced groups,
// well-formed control words and symbols, and gives back the text a reader
// shows (\par as a line break, \tab, \uN with its fallback skipped, \'hh as
// Windows-1252), the size of the colour table and the colours used.

#include <algorithm>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "platform/ini/Windows1252.h"

class RtfReader {
 public:
  struct Document {
    QString text;
    int colorCount = 0;  // entries after the default colour
    std::vector<int> colorsUsed;
  };

  std::optional<Document> read(const QByteArray& rtf) {
    rtf_ = rtf;
    at_ = 0;
    document_ = Document();
    error_.clear();
    colorEntries_ = 0;
    fonts_.clear();
    if (!readDocument()) return std::nullopt;
    document_.colorCount = colorEntries_ - 1;
    return document_;
  }
  const QString& error() const { return error_; }

 private:
  enum class Destination { Body, FontTable, ColorTable };

  bool readDocument() {
    if (!rtf_.startsWith("{\\rtf1")) return refuse("no {\\rtf1 at the start");
    for (const char c : rtf_)
      if ((c < 0x20 || c > 0x7E) && c != '\r' && c != '\n') return refuse("a byte outside 7-bit text");
    if (!readGroup(Destination::Body, 0)) return false;
    while (at_ < rtf_.size() && (rtf_[at_] == '\r' || rtf_[at_] == '\n')) ++at_;
    if (at_ != rtf_.size()) return refuse("content after the document's group");
    return true;
  }

  bool refuse(const char* why) {
    error_ = QStringLiteral("%1 at byte %2").arg(QLatin1String(why)).arg(at_);
    return false;
  }

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  static int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  // Reads from the '{' at at_ to its '}'.
  bool readGroup(Destination destination, int depth) {
    if (depth > 64) return refuse("groups nested too deep");
    ++at_;         // '{'
    int skip = 0;  // fallback characters still to skip after \uN
    bool first = true;
    while (at_ < rtf_.size()) {
      const char c = rtf_[at_];
      if (c == '}') {
        ++at_;
        return true;
      }
      if (c == '{') {
        // Groups inside the tables belong to them (a font's own group).
        if (!readGroup(destination, depth + 1)) return false;
        first = false;
        continue;
      }
      if (c == '\r' || c == '\n') {
        ++at_;
        continue;
      }
      if (c == '\\') {
        if (!readControl(destination, first, skip)) return false;
        first = false;
        continue;
      }
      ++at_;
      first = false;
      if (destination == Destination::ColorTable && c == ';') ++colorEntries_;
      if (destination != Destination::Body) continue;
      if (skip > 0) {
        --skip;
        continue;
      }
      document_.text += QChar(char16_t(uchar(c)));
    }
    return refuse("a group is not closed");
  }

  bool readControl(Destination& destination, bool firstInGroup, int& skip) {
    ++at_;  // '\'
    if (at_ >= rtf_.size()) return refuse("a backslash at the end");
    const char c = rtf_[at_];
    if (!isLetter(c)) return readSymbol(destination, skip);
    const qsizetype wordStart = at_;
    while (at_ < rtf_.size() && isLetter(rtf_[at_])) ++at_;
    const QByteArray word = rtf_.mid(wordStart, at_ - wordStart);
    if (word.size() > 32) return refuse("a control word too long");
    std::optional<long> parameter;
    const qsizetype numberStart = at_;
    if (at_ < rtf_.size() && rtf_[at_] == '-') ++at_;
    while (at_ < rtf_.size() && isDigit(rtf_[at_])) ++at_;
    if (at_ > numberStart) {
      const QByteArray digits = rtf_.mid(numberStart, at_ - numberStart);
      if (digits == "-" || digits.size() > 11) return refuse("a bad control word parameter");
      parameter = digits.toLong();
    }
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;
    return applyWord(word, parameter, destination, firstInGroup, skip);
  }

  bool readSymbol(Destination destination, int& skip) {
    const char c = rtf_[at_++];
    QString shown;
    if (c == '\\' || c == '{' || c == '}') {
      shown = QChar(char16_t(c));
    } else if (c == '\'') {
      if (at_ + 2 > rtf_.size() || hexValue(rtf_[at_]) < 0 || hexValue(rtf_[at_ + 1]) < 0)
        return refuse("\\' without two hexadecimal digits");
      const char byte = char(hexValue(rtf_[at_]) * 16 + hexValue(rtf_[at_ + 1]));
      at_ += 2;
      shown = decodeWindows1252(QByteArrayView(&byte, 1));
    } else if (c == '*' || c == '~' || c == '-' || c == '_') {
      return true;
    } else {
      return refuse("an unknown control symbol");
    }
    if (destination != Destination::Body) return true;
    if (skip > 0) {
      --skip;
      return true;
    }
    document_.text += shown;
    return true;
  }

  bool applyWord(const QByteArray& word, std::optional<long> parameter, Destination& destination, bool firstInGroup,
                 int& skip) {
    if (word == "fonttbl" || word == "colortbl") {
      if (!firstInGroup) return refuse("a table that does not open its group");
      destination = word == "fonttbl" ? Destination::FontTable : Destination::ColorTable;
      return true;
    }
    if (destination == Destination::FontTable) {
      if (word == "f" && parameter) fonts_.push_back(*parameter);
      return true;
    }
    if (destination != Destination::Body) return true;
    if (word == "par") {
      appendShown(u'\n', skip);
    } else if (word == "tab") {
      appendShown(u'\t', skip);
    } else if (word == "u") {
      if (!parameter || *parameter < -32768 || *parameter > 65535) return refuse("\\u without a 16-bit number");
      appendShown(QChar(char16_t(uint16_t(*parameter))), skip);
      skip = 1;
    } else if (word == "cf") {
      if (!parameter) return refuse("\\cf without a number");
      document_.colorsUsed.push_back(int(*parameter));
    } else if (word == "f") {
      if (!parameter || std::find(fonts_.begin(), fonts_.end(), *parameter) == fonts_.end())
        return refuse("a font that the table does not declare");
    }
    return true;
  }

  void appendShown(QChar c, int& skip) {
    skip = 0;
    document_.text += c;
  }

  QByteArray rtf_;
  qsizetype at_ = 0;
  Document document_;
  QString error_;
  int colorEntries_ = 0;
  std::vector<long> fonts_;
};
