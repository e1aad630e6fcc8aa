#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

QUrl shellUrl(const QString& fileOrUrl) {
  static const QRegularExpression addressWithScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
  if (addressWithScheme.match(fileOrUrl).hasMatch()) return QUrl(fileOrUrl, QUrl::StrictMode);
  return QUrl::fromLocalFile(QFileInfo(fileOrUrl).absoluteFilePath());
}

bool QtShell::open(const QString& fileOrUrl) {
  const QUrl url = shellUrl(fileOrUrl);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}
