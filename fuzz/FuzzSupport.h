#pragma once

// Helpers shared by the fuzz targets.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QByteArray>
#include <QString>

// A property every input must keep. A broken one stops the fuzzer like a
// crash, with the reason on stderr and the input saved.
#define FUZZ_REQUIRE(condition)                                                              \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "Broken property: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (0)

// The page qpdf reads back from a written file; a file qpdf refuses or warns
// about breaks the property.
#define FUZZ_READ_BACK(pdfBytes)                                     \
  [&] {                                                              \
    try {                                                            \
      return readSinglePage(pdfBytes);                               \
    } catch (const std::exception& e) {                              \
      std::fprintf(stderr, "qpdf refused the file: %s\n", e.what()); \
      std::abort();                                                  \
    }                                                                \
  }()

inline QByteArray bytesOf(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }

// Any bytes as UTF-16 code units, two bytes each (lone surrogates included).
inline QString utf16Of(const std::string& s) {
  QString text;
  for (size_t i = 0; i + 1 < s.size(); i += 2) text += QChar(char16_t(uint8_t(s[i]) | uint8_t(s[i + 1]) << 8));
  return text;
}
