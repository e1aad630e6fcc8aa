#pragma once

#include <memory>

#include "app/PlatformOptions.h"

class Files;
class IniFile;
class Shell;
class WmiSource;

// The adapters that differ from one system to the other; each system has a
// file of its own that makes them (LinuxAdapters.cpp, WindowsAdapters.cpp),
// and the build takes the one of the system it builds for.
struct SystemAdapters {
  std::unique_ptr<Files> files;
  std::unique_ptr<IniFile> ini;
  std::unique_ptr<WmiSource> wmi;
};
SystemAdapters makeSystemAdapters();

// The system's shell: open a document, start a program with administrator
// rights.
std::unique_ptr<Shell> makeSystemShell();

// The options completed with the system's own folders: the machine-wide data
// folder, the program's folder and the card library's settings file.
PlatformOptions withSystemFolders(PlatformOptions options);
