#pragma once

#include "platform/IniFile.h"

// Initialisation files as the Windows profile calls read and write them, on
// files in the Windows-1252 code page (see ini_text for the line rules).
// A write touches only the one value's line, keeps every other byte, and
// replaces the file atomically: a failure leaves the old file as it was.
class WindowsIniFile : public IniFile {
 public:
  // nullopt also when the file cannot be read, as the Windows call gives its
  // default then.
  std::optional<QString> readValue(const QString& path, const QString& section, const QString& key) override;
  // Creates the file when missing, never its folder. Throws
  // std::runtime_error on any failure; the file keeps its permissions.
  void writeValue(const QString& path, const QString& section, const QString& key, const QString& value) override;
};
