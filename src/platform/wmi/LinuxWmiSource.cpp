#include "platform/wmi/LinuxWmiSource.h"

#include <stdexcept>
#include <utility>

#include <QRegularExpression>

#include "platform/wmi/Win32Instances.h"

namespace {

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

void requireLocalHost(const QString& host) {
  if (host.isEmpty() || host == u"." || host.compare(u"localhost", Qt::CaseInsensitive) == 0) return;
  fail(QString::fromUtf8("Machine « %1 » injoignable : seule la machine locale peut être "
                         "interrogée.")
           .arg(host));
}

void requireCimv2(const QString& namespacePath) {
  QString path = namespacePath;
  path.replace(u'/', u'\\');
  if (path.compare(u"root\\cimv2", Qt::CaseInsensitive) == 0) return;
  fail(QString::fromUtf8("Espace de noms non valide : « %1 ».").arg(namespacePath));
}

QString queriedClass(const QString& wql) {
  static const QRegularExpression selectAll(QStringLiteral("^\\s*SELECT\\s+\\*\\s+FROM\\s+(\\w+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = selectAll.match(wql);
  if (!match.hasMatch()) fail(QString::fromUtf8("Requête non prise en charge : « %1 ».").arg(wql));
  return match.captured(1);
}

bool sameClass(const QString& queried, const char16_t* name) {
  return queried.compare(QStringView(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

LinuxWmiSource::LinuxWmiSource(LinuxHost host) : host_(std::move(host)) {}

QStringList LinuxWmiSource::query(const QString& host, const QString& namespacePath, const QString& wql) {
  requireLocalHost(host);
  requireCimv2(namespacePath);
  const QString wmiClass = queriedClass(wql);
  if (sameClass(wmiClass, u"Win32_OperatingSystem")) return {operatingSystemInstance(host_)};
  if (sameClass(wmiClass, u"Win32_BIOS")) return {biosInstance(host_)};
  if (sameClass(wmiClass, u"Win32_Processor")) return {processorInstance(host_)};
  fail(QString::fromUtf8("Classe non valide : « %1 ».").arg(wmiClass));
}
