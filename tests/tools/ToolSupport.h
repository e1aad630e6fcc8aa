#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs one of the program's tools from the build folder.
struct ToolResult {
  int exitCode = -1;
  QString out, err;
};

inline ToolResult runTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(VELNARA_BIN_DIR "/") + tool, args);
  p.waitForFinished(120000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A demo installation under cad, made by velnara-setup.
inline ToolResult setUpDemo(const QString& cad) {
  return runTool(QStringLiteral("velnara-setup"), {QStringLiteral("--common-data"), cad, QStringLiteral("--demo")});
}
