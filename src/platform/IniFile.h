#pragma once

#include <optional>

#include <QString>

// Initialisation files with Windows semantics: section and key matched
// without regard to case, values read up to 2047 characters, everything else
// in the file kept as it was.
class IniFile {
 public:
  virtual ~IniFile() = default;
  // nullopt when the file, the section or the key is missing.
  virtual std::optional<QString> readValue(const QString& path, const QString& section, const QString& key) = 0;
  // Creates section and key when missing; throws std::runtime_error when the
  // file cannot be written (the old file is then left intact).
  virtual void writeValue(const QString& path, const QString& section, const QString& key, const QString& value) = 0;
};
