#include "platform/qt/Fonts.h"

#include <cstdio>

#include <QDir>
#include <QFontDatabase>

namespace {

bool registerFontFile(const QString& path) {
  if (QFontDatabase::addApplicationFont(path) >= 0) return true;
  std::fprintf(stderr, "Velnara: the font %s could not be loaded\n", qUtf8Printable(path));
  return false;
}

QFont tahoma(bool bold) {
  QFont font(QStringLiteral("Tahoma"));
  font.setBold(bold);
  // Keep the same face even where a glyph is missing rather than mixing faces
  // inside a line.
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

bool registerTahoma(const QString& folder) {
  return registerFontFile(QDir(folder).filePath(QStringLiteral("tahoma.ttf")));
}

QFont tahomaPoints(int points, bool bold) {
  QFont font = tahoma(bold);
  font.setPointSize(points);
  return font;
}

QFont tahomaPixels(int pixels, bool bold) {
  QFont font = tahoma(bold);
  font.setPixelSize(pixels);
  return font;
}
