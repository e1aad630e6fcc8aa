#pragma once

#include "platform/IniFile.h"

// Initialisation files through Windows' own profile functions, whose rules
// the program's other platforms imitate.
class ProfileIniFile : public IniFile {
 public:
  std::optional<QString> readValue(const QString& path, const QString& section, const QString& key) override;
  void writeValue(const QString& path, const QString& section, const QString& key, const QString& value) override;
};
