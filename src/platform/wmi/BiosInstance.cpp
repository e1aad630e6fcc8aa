#include <QRegularExpression>
#include <QStringList>

#include "platform/wmi/LinuxHost.h"
#include "platform/wmi/ManagedObjectText.h"
#include "platform/wmi/Win32Instances.h"

namespace {

const QString kDmi = QStringLiteral("sys/class/dmi/id/");

// "Vendor Version (Date)", from whichever of the three is known.
QString biosName(const QString& vendor, const QString& version, const QString& date) {
  QStringList parts;
  if (!vendor.isEmpty()) parts << vendor;
  if (!version.isEmpty()) parts << version;
  if (!date.isEmpty()) parts << u'(' + date + u')';
  return parts.join(u' ');
}

// The firmware gives mm/dd/yyyy; the management classes hold dates as CIM
// date-times.
QString cimDate(const QString& date) {
  static const QRegularExpression usDate(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
  const QRegularExpressionMatch match = usDate.match(date);
  if (!match.hasMatch()) return QString();
  return match.captured(3) + match.captured(1) + match.captured(2) + QStringLiteral("000000.000000+000");
}

}  // namespace

QString biosInstance(const LinuxHost& host) {
  const QString vendor = host.readFile(kDmi + QStringLiteral("bios_vendor"));
  const QString version = host.readFile(kDmi + QStringLiteral("bios_version"));
  const QString date = host.readFile(kDmi + QStringLiteral("bios_date"));
  ManagedObjectText object(QStringLiteral("Win32_BIOS"));
  object.setText(QStringLiteral("Manufacturer"), vendor);
  object.setText(QStringLiteral("Name"), biosName(vendor, version, date));
  object.setText(QStringLiteral("ReleaseDate"), cimDate(date));
  object.setText(QStringLiteral("SMBIOSBIOSVersion"), version);
  return object.text();
}
