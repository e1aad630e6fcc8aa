#pragma once

#include "platform/Shell.h"

// The desktop shell of a Linux session: xdg-open for documents and URLs,
// pkexec for administrator rights. Programs are started with their
// arguments as separate words, never through a shell string.
class LinuxShell : public Shell {
 public:
  bool open(const QString& fileOrUrl) override;
  bool runAsAdministrator(const QString& file) override;
};
