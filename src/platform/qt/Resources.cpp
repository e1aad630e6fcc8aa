#include "platform/qt/Resources.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void initGuiResourcesOnce() { Q_INIT_RESOURCE(gui); }

void initGuiResources() {
  static const bool done = (initGuiResourcesOnce(), true);
  (void)done;
}

QIcon svgIcon(const QString& resourcePath) {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(svgPixmap(resourcePath, QSize(side, side)));
  return icon;
}
