// The window's pictures drawn from their SVG files, where Qt's SVG module is
// available (Linux).
#include <QPainter>
#include <QSvgRenderer>

#include "platform/qt/Resources.h"

QString picturePath(const QString& fileName) { return QStringLiteral(":/pictures/") + fileName; }

QPixmap svgPixmap(const QString& resourcePath, QSize size) {
  initGuiResources();
  QSvgRenderer renderer(resourcePath);
  if (!renderer.isValid()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return pixmap;
}
