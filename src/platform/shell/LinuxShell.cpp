#include "platform/shell/LinuxShell.h"

#include <QProcess>

bool LinuxShell::open(const QString& fileOrUrl) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {fileOrUrl});
}

bool LinuxShell::runAsAdministrator(const QString& file) {
  return QProcess::startDetached(QStringLiteral("pkexec"), {file});
}
