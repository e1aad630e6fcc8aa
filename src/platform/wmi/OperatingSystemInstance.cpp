#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>

#include "platform/wmi/LinuxHost.h"
#include "platform/wmi/ManagedObjectText.h"
#include "platform/wmi/OsRelease.h"
#include "platform/wmi/Win32Instances.h"

namespace {

QHash<QString, QString> osRelease(const LinuxHost& host) {
  QString text = host.readFile(QStringLiteral("etc/os-release"));
  if (text.isEmpty()) text = host.readFile(QStringLiteral("usr/lib/os-release"));
  return parseOsRelease(text);
}

QString caption(const QHash<QString, QString>& release) {
  const QString pretty = release.value(QStringLiteral("PRETTY_NAME"));
  return pretty.isEmpty() ? release.value(QStringLiteral("NAME")) : pretty;
}

QString architecture(const QString& machine) {
  if (machine.isEmpty()) return QString();
  // Every 64-bit kernel names its machine with "64" (x86_64, aarch64,
  // ppc64le, riscv64, ...) except these two.
  const bool wide = machine.contains(QStringLiteral("64")) || machine == u"s390x" || machine == u"alpha";
  return wide ? QStringLiteral("64-bit") : QStringLiteral("32-bit");
}

// The machine id must not leave the machine as it is, since other programs
// trust it as a secret; the diagnostic log shows a number derived from it
// for this program alone, stable as long as the installation lives.
QString serialNumber(const LinuxHost& host) {
  static const QRegularExpression machineId(QStringLiteral("^[0-9a-fA-F]{32}$"));
  QString id = host.readFile(QStringLiteral("etc/machine-id"));
  if (!machineId.match(id).hasMatch()) id = host.readFile(QStringLiteral("var/lib/dbus/machine-id"));
  if (!machineId.match(id).hasMatch()) return QString();
  const QByteArray digest = QMessageAuthenticationCode::hash(
      QByteArrayLiteral("Velnara SerialNumber"), QByteArray::fromHex(id.toLatin1()), QCryptographicHash::Sha256);
  const QString hex = QString::fromLatin1(digest.left(16).toHex().toUpper());
  return hex.mid(0, 8) + u'-' + hex.mid(8, 4) + u'-' + hex.mid(12, 4) + u'-' + hex.mid(16, 4) + u'-' + hex.mid(20, 12);
}

}  // namespace

QString operatingSystemInstance(const LinuxHost& host) {
  const QHash<QString, QString> release = osRelease(host);
  const KernelIdentity kernel = host.kernel();
  ManagedObjectText object(QStringLiteral("Win32_OperatingSystem"));
  object.setText(QStringLiteral("BuildNumber"), kernel.release);
  object.setText(QStringLiteral("Caption"), caption(release));
  object.setText(QStringLiteral("CSName"), kernel.nodeName);
  object.setText(QStringLiteral("OSArchitecture"), architecture(kernel.machine));
  object.setText(QStringLiteral("SerialNumber"), serialNumber(host));
  object.setText(QStringLiteral("Version"), release.value(QStringLiteral("VERSION_ID")));
  return object.text();
}
