#pragma once

#include <QHash>
#include <QString>

// The KEY=value assignments of an os-release file, with their shell-style
// quoting undone. Comments, blank lines and malformed lines are skipped.
QHash<QString, QString> parseOsRelease(const QString& text);
