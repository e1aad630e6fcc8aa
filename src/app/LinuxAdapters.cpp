// The Linux adapters of the services that differ from one system to the other.
#include <QCoreApplication>
#include <QDir>

#include "app/DataFolders.h"
#include "app/SystemAdapters.h"
#include "platform/files/LinuxFiles.h"
#include "platform/ini/WindowsIniFile.h"
#include "platform/shell/LinuxShell.h"
#include "platform/wmi/LinuxWmiSource.h"

SystemAdapters makeSystemAdapters() {
  return {std::make_unique<LinuxFiles>(), std::make_unique<WindowsIniFile>(), std::make_unique<LinuxWmiSource>()};
}

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<LinuxShell>(); }

PlatformOptions withSystemFolders(PlatformOptions options) {
  if (options.programDir.isEmpty())
    options.programDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
  if (options.iniFile.isEmpty()) {
    // The settings file has a fixed path of its own, unless the data folder
    // was moved (tests, demos, the terminal runner's option).
    options.iniFile = options.commonData.isEmpty()
                          ? QStringLiteral(VELNARA_APILEC_INI)
                          : cardLibraryFolder(options.commonData) + QStringLiteral("/api_lec.ini");
  }
  // On Linux the machine-wide data folder is a build setting.
  if (options.commonData.isEmpty()) options.commonData = QStringLiteral(VELNARA_COMMON_DATA_DIR);
  return options;
}
