#include "platform/qt/Theme.h"

#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QStyleFactory>

#include "platform/qt/Resources.h"

namespace {
const char* const themeName = "Windows10 Office Light";
const char* const themeResource = ":/theme/Windows10OfficeLight.qss";
}  // namespace

bool applyTheme(QApplication& app) {
  initGuiResources();
  QFile sheet(QString::fromLatin1(themeResource));
  if (!sheet.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "Velnara: the theme \"%s\" could not be loaded (%s); standard look kept\n", themeName,
                 qUtf8Printable(sheet.errorString()));
    return false;
  }
  // Fusion draws the same everywhere, so the style sheet only has to change
  // colours and borders, not fight a desktop theme.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
  return true;
}
