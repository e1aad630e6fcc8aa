#include "platform/ini/Windows1252.h"

#include <array>

namespace {

constexpr char kUnencodable = '?';

// Characters of the bytes 0x80 to 0x9F. The unassigned bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control character of the same value so that
// they survive a round trip.
constexpr std::array<char16_t, 32> kHighControlRange = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isUnassignedByte(char16_t c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

char encodeCharacter(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || isUnassignedByte(c)) {
    return static_cast<char>(c);
  }
  for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] == c) {
      return static_cast<char>(0x80 + i);
    }
  }
  return kUnencodable;
}

}  // namespace

QString decodeWindows1252(QByteArrayView bytes) {
  QString text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    const char16_t c = (value >= 0x80 && value <= 0x9F) ? kHighControlRange[value - 0x80] : value;
    text.append(QChar(c));
  }
  return text;
}

QByteArray encodeWindows1252(QStringView text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;  // one character outside the code page, one '?'
      bytes.append(kUnencodable);
    } else {
      bytes.append(encodeCharacter(c.unicode()));
    }
  }
  return bytes;
}
