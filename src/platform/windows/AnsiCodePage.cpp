#include "platform/AnsiCodePage.h"

#include <windows.h>

QString decodeAnsi(QByteArrayView bytes) {
  if (bytes.isEmpty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  QString text(length, Qt::Uninitialized);
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

QByteArray encodeAnsi(QStringView text) {
  if (text.isEmpty()) return {};
  const auto* units = reinterpret_cast<const wchar_t*>(text.utf16());
  const int size = static_cast<int>(text.size());
  // "?" for what the code page cannot hold, as the other platforms write it.
  const int length = WideCharToMultiByte(CP_ACP, 0, units, size, nullptr, 0, "?", nullptr);
  QByteArray bytes(length, Qt::Uninitialized);
  WideCharToMultiByte(CP_ACP, 0, units, size, bytes.data(), length, "?", nullptr);
  return bytes;
}
