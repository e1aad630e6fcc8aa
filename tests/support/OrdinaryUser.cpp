#include "support/OrdinaryUser.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString whyNotAsOrdinaryUser() {
  if (::geteuid() != 0) return QStringLiteral("starting programs as another user needs root");
  if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) return QStringLiteral("no setpriv");
  // The programs run from the build folder: every folder above them must be
  // open to an ordinary user.
  for (QDir dir(QStringLiteral(VELNARA_BIN_DIR)); !dir.isRoot(); dir.cdUp()) {
    if (!(QFileInfo(dir.path()).permissions() & QFileDevice::ExeOther))
      return QStringLiteral("%1 is closed to other users").arg(dir.path());
  }
  return {};
}

void startAs(QProcess& process, const OrdinaryUser& user, const QString& program, const QStringList& arguments) {
  QStringList setpriv{QStringLiteral("--reuid=%1").arg(user.uid), QStringLiteral("--regid=%1").arg(user.uid)};
  setpriv << (user.group ? QStringLiteral("--groups=%1").arg(*user.group) : QStringLiteral("--clear-groups"));
  setpriv << QStringLiteral("--") << program << arguments;
  process.start(QStringLiteral("setpriv"), setpriv);
}

bool shareAsThePackageDoes(const QString& cad, gid_t group) {
  const auto own = [](const QString& path, gid_t gid, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), 0, gid) == 0 && ::chmod(name.constData(), mode) == 0;
  };
  const QString data = cad + QStringLiteral("/Trelvo/velna");
  bool done = own(cad, 0, 0755) && own(cad + QStringLiteral("/Trelvo"), 0, 0755) && own(data, group, 02775) &&
              own(data + QStringLiteral("/velna.mvd"), group, 0664);
  const QString apilec = cad + QStringLiteral("/santesocial/api_lec");
  done = done && own(cad + QStringLiteral("/santesocial"), 0, 0755) && own(apilec, 0, 0755);
  for (const QString& name : QDir(apilec).entryList(QDir::Files)) done = done && own(apilec + '/' + name, 0, 0644);
  return done;
}

SharedInstallation::SharedInstallation() {
  shared = setUpDemo(cad.path()).exitCode == 0 && shareAsThePackageDoes(cad.path(), kDataGroup);
}

ToolResult SharedInstallation::run(const OrdinaryUser& user, const QStringList& arguments,
                                   const QProcessEnvironment& environment) const {
  QProcess p;
  p.setProcessEnvironment(environment);
  startAs(p, user, QStringLiteral(VELNARA_BIN_DIR "/velnara-run"),
          QStringList{"--common-data", cad.path()} + arguments);
  p.waitForFinished(180000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
