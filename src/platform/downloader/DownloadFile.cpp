#include "platform/downloader/DownloadFile.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include "platform/SystemPaths.h"

bool DownloadFile::isTemporaryName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^\\.download-[0-9a-f]{16}\\.part$"));
  return pattern.match(name).hasMatch();
}

QString DownloadFile::newTemporaryPath(const QString& folder) {
  return folder + kPathSeparator +
         QStringLiteral(".download-%1.part").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}
