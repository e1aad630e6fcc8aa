#include "support/ToolSupport.h"

#include <QFile>

#include "platform/db/SqlCipherDatabase.h"

ToolResult runTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(VELNARA_BIN_DIR "/") + tool, args);
  p.waitForFinished(120000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

ToolResult setUpDemo(const QString& cad) {
  return runTool(QStringLiteral("velnara-setup"), {QStringLiteral("--common-data"), cad, QStringLiteral("--demo")});
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString storedUpdateDate(const QString& database) {
  SqlCipherDatabase db;
  db.connect(database, QStringLiteral("Hv6Np3Xr8L"));
  db.setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
  db.open();
  return db.field(0).value_or(QStringLiteral("(null)"));
}
