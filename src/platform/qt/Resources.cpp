#include "platform/qt/Resources.h"

#include <QPainter>
#include <QSvgRenderer>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initGuiResourcesOnce() { Q_INIT_RESOURCE(gui); }

void initGuiResources() {
  static const bool done = (initGuiResourcesOnce(), true);
  (void)done;
}

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

QIcon svgIcon(const QString& resourcePath) {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(svgPixmap(resourcePath, QSize(side, side)));
  return icon;
}
