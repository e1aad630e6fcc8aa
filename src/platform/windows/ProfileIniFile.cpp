#include "platform/windows/ProfileIniFile.h"

#include <windows.h>

#include <stdexcept>

#include <QDir>

namespace {

const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

// Returned for a missing key: no settings file holds it, so it tells a
// missing key from an empty value.
const QString kAbsent = QStringLiteral("\u0001velnara:absent\u0001");

// The buffer of the Windows call: 2047 characters and the NUL.
constexpr DWORD kBufferSize = 2048;

}  // namespace

std::optional<QString> ProfileIniFile::readValue(const QString& path, const QString& section, const QString& key) {
  wchar_t buffer[kBufferSize] = {};
  const DWORD length = GetPrivateProfileStringW(wide(section), wide(key), wide(kAbsent), buffer, kBufferSize,
                                                wide(QDir::toNativeSeparators(path)));
  const QString value = QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
  if (value == kAbsent) return std::nullopt;
  return value;
}

void ProfileIniFile::writeValue(const QString& path, const QString& section, const QString& key, const QString& value) {
  if (value.contains(u'\r') || value.contains(u'\n') || value.contains(QChar(u'\0')))
    throw std::runtime_error("cannot write " + path.toStdString() + ": the value would break its line");
  if (!WritePrivateProfileStringW(wide(section), wide(key), wide(value), wide(QDir::toNativeSeparators(path)))) {
    throw std::runtime_error("cannot write " + path.toStdString() + ": Windows error " +
                             std::to_string(GetLastError()));
  }
}
