#pragma once

#include "platform/IniFile.h"

// Initialisation files as the Windows profile calls read and write them: in
// the Windows-1252 code page, or Unicode with a byte-order mark (see
// IniContent for the encodings, ini_text for the line rules). A write touches
// only the one value's line and keeps every other byte, and the file's mode,
// owner and group.
class WindowsIniFile : public IniFile {
 public:
  // nullopt also when the file cannot be read or decoded, as the Windows call
  // gives its default then.
  std::optional<QString> readValue(const QString& path, const QString& section, const QString& key) override;
  // Creates the file when missing, never its folder. Refuses a file whose
  // owner may not write it, whoever the process runs as. Replaces the file
  // atomically where it can, else rewrites it in place. Throws
  // std::runtime_error on any failure, which leaves the old file as it was
  // (in place: as far as the system lets the old bytes be put back).
  void writeValue(const QString& path, const QString& section, const QString& key, const QString& value) override;
};
