#include "platform/qt/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/qt/Fonts.h"
#include "platform/qt/Resources.h"
#include "platform/qt/Theme.h"

namespace {

// Qt's standard dialogs (the save dialog) and buttons speak French, as the
// rest of the program, whatever the session's language.
void loadQtsFrenchTexts(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  } else {
    qWarning("Qt's French translations (qtbase_fr.qm) were not found; standard dialogs stay in English");
    delete translator;
  }
}

}  // namespace

bool configureApplication(QApplication& app, const QString& desktopId) {
  // No display name: Qt would append it to every window title, and the
  // boxes' captions must read exactly as they are written.
  QApplication::setApplicationName(QStringLiteral("Velnara"));
  QGuiApplication::setDesktopFileName(desktopId);
  loadQtsFrenchTexts(app);
  const bool font = registerTahoma();
  QApplication::setFont(tahomaPoints(8));
  const bool theme = applyTheme(app);
  QApplication::setWindowIcon(svgIcon(picturePath(QStringLiteral("velnara.svg"))));
  return font && theme;
}
