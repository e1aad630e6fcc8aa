#include "platform/windows/WindowsFiles.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool WindowsFiles::fileExists(const QString& path) const { return !path.isEmpty() && QFileInfo(path).isFile(); }

qint32 WindowsFiles::fileSize(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw std::runtime_error("cannot open file for reading: " + path.toStdString() + " (" +
                             file.errorString().toStdString() + ")");
  }
  return static_cast<qint32>(std::min<qint64>(file.size(), std::numeric_limits<qint32>::max()));
}

QString WindowsFiles::fileVersion(const QString& path) const {
  const QString native = QDir::toNativeSeparators(path);
  const auto* name = reinterpret_cast<const wchar_t*>(native.utf16());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(name, &ignored);
  if (size == 0) return {};
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(name, 0, size, block.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
      length < sizeof *fixed)
    return {};
  return QStringLiteral("%1.%2.%3.%4")
      .arg(HIWORD(fixed->dwFileVersionMS))
      .arg(LOWORD(fixed->dwFileVersionMS))
      .arg(HIWORD(fixed->dwFileVersionLS))
      .arg(LOWORD(fixed->dwFileVersionLS));
}
