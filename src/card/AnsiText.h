#pragma once

#include <algorithm>
#include <cstddef>

#include <QByteArray>
#include <QString>

#include "platform/AnsiCodePage.h"

// Texts the card-reader library writes into our buffers end at their first
// NUL byte, but the library may fill a buffer to its last byte without one:
// every read stops at the buffer's end.
inline QByteArray bytesUpToNul(const char* buffer, std::size_t capacity) {
  const char* end = std::find(buffer, buffer + capacity, '\0');
  return QByteArray(buffer, static_cast<qsizetype>(end - buffer));
}

// The same, decoded from the library's single-byte code page.
inline QString ansiTextUpToNul(const char* buffer, std::size_t capacity) {
  return decodeAnsi(bytesUpToNul(buffer, capacity));
}
