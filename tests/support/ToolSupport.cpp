#include "support/ToolSupport.h"

ToolResult runTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(VELNARA_BIN_DIR "/") + tool, args);
  p.waitForFinished(120000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

ToolResult setUpDemo(const QString& cad) {
  return runTool(QStringLiteral("velnara-setup"), {QStringLiteral("--common-data"), cad, QStringLiteral("--demo")});
}
