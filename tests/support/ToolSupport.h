#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs one of the program's tools from the build folder.
struct ToolResult {
  int exitCode = -1;
  QString out, err;
};

ToolResult runTool(const QString& tool, const QStringList& args);

// A demo installation under cad, made by velnara-setup.
ToolResult setUpDemo(const QString& cad);

// The bytes of a file, empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// The date of the last update check the database holds, "(null)" for none.
QString storedUpdateDate(const QString& database);
