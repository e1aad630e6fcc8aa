#pragma once

#include "platform/Files.h"

// Files on Linux. The file version is the "FileVersion" ELF note that the
// card-reader library's build writes into the library file.
class LinuxFiles : public Files {
 public:
  bool fileExists(const QString& path) const override;
  // Sizes beyond the signed 32-bit range read as its largest value rather than
  // wrapping around to a size that could match a small expected one.
  qint32 fileSize(const QString& path) const override;
  QString fileVersion(const QString& path) const override;
};
