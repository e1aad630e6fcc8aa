#pragma once

#include <QFont>
#include <QString>

// The window's typeface is Tahoma. On Linux it comes from the Wine fonts,
// which live outside fontconfig's folders, so it has to be registered with Qt
// before any widget asks for it; otherwise Qt quietly substitutes another face.
inline constexpr const char* tahomaFolder = "/usr/share/wine/fonts";

// Registers tahoma.ttf from folder; false when it could not be loaded (the
// reason is written to standard error). Bold is drawn by emboldening it: the
// Wine bold file (tahomabd.ttf) carries the very outlines of the regular face,
// so a face taken from it would show bold texts as regular ones.
bool registerTahoma(const QString& folder = QString::fromLatin1(tahomaFolder));

// Tahoma at a point size (the window is laid out for 96 dots per inch).
QFont tahomaPoints(int points, bool bold = false);
// Tahoma whose characters are pixels high, without internal leading.
QFont tahomaPixels(int pixels, bool bold = false);
