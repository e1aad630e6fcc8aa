// The window's pictures from PNG renderings of their SVG files made when the
// program is built (rsvg-convert, at 512 pixels across): the Windows build
// has no Qt SVG module. Each is scaled to the size asked, as the SVG would
// be drawn into it.
#include <QFileInfo>
#include <QImage>

#include "platform/qt/Resources.h"

QString picturePath(const QString& fileName) {
  return QStringLiteral(":/pictures/") + QFileInfo(fileName).completeBaseName() + QStringLiteral(".png");
}

QPixmap svgPixmap(const QString& resourcePath, QSize size) {
  initGuiResources();
  const QImage picture(resourcePath);
  if (picture.isNull()) return {};
  return QPixmap::fromImage(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
