// The Windows adapters of the services that differ from one system to the other.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <QCoreApplication>
#include <QDir>

#include "app/DataFolders.h"
#include "app/SystemAdapters.h"
#include "platform/windows/ProfileIniFile.h"
#include "platform/windows/WindowsFiles.h"
#include "platform/windows/WindowsShell.h"
#include "platform/windows/WmiComSource.h"

namespace {

// The machine-wide application-data folder the shell gives (ProgramData),
// without its trailing separator; empty when the shell cannot give it.
QString commonApplicationData() {
  PWSTR folder = nullptr;
  QString path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DEFAULT, nullptr, &folder)))
    path = QString::fromWCharArray(folder);
  CoTaskMemFree(folder);
  return path;
}

}  // namespace

SystemAdapters makeSystemAdapters() {
  return {std::make_unique<WindowsFiles>(), std::make_unique<ProfileIniFile>(), std::make_unique<WmiComSource>()};
}

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<WindowsShell>(); }

PlatformOptions withSystemFolders(PlatformOptions options) {
  if (options.programDir.isEmpty())
    options.programDir = QDir::toNativeSeparators(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                                               : QDir::currentPath());
  if (options.iniFile.isEmpty()) {
    // The settings file has a fixed path of its own, unless the data folder
    // was moved (tests, demos, the terminal runner's option).
    options.iniFile = options.commonData.isEmpty()
                          ? QDir::toNativeSeparators(QStringLiteral(VELNARA_APILEC_INI))
                          : cardLibraryFolder(options.commonData) + QStringLiteral("\\api_lec.ini");
  }
  if (options.commonData.isEmpty()) options.commonData = commonApplicationData();
  options.commonData = QDir::toNativeSeparators(options.commonData);
  return options;
}
