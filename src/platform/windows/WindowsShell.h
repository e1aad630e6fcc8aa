#pragma once

#include "platform/Shell.h"

// The Windows shell: documents and web pages open with the verb "open", the
// installer starts with the verb "runas", which asks the user for elevation.
class WindowsShell : public Shell {
 public:
  bool open(const QString& fileOrUrl) override;
  bool runAsAdministrator(const QString& file) override;
};
