#include "platform/shell/LinuxShell.h"

#include <QFileInfo>
#include <QProcess>

bool LinuxShell::open(const QString& fileOrUrl) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {fileOrUrl});
}

bool LinuxShell::runAsAdministrator(const QString& file) {
  // pkexec asks for the administrator's password and then runs the file; a
  // file that is missing or cannot be run is refused before asking.
  const QFileInfo info(file);
  if (!info.isFile() || !info.isExecutable()) return false;
  return QProcess::startDetached(QStringLiteral("pkexec"), {info.absoluteFilePath()});
}
