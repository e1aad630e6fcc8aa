#pragma once

#include <QString>

class QApplication;

// What the window's application is given before any widget exists, the
// program and the GUI tests alike: its name, its desktop id, Qt's own
// French texts, the Tahoma font, the theme and the window icon. Returns
// false when the font or the theme could not be applied (the reason is
// written to standard error); the program then goes on with Qt's defaults.
bool configureApplication(QApplication& app, const QString& desktopId);
