#pragma once

#include "platform/Files.h"

// File facts on Windows; the file version comes from the file's version
// resource, as Explorer shows it.
class WindowsFiles : public Files {
 public:
  bool fileExists(const QString& path) const override;
  qint32 fileSize(const QString& path) const override;
  QString fileVersion(const QString& path) const override;
};
