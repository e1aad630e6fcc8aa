// The program's entry: one copy per user session, the theme, the window and
// the application object behind it, then the message loop.
#include <memory>

#include <QApplication>
#include <QMessageBox>

#include "app/SystemAdapters.h"
#include "app/SystemPlatform.h"
#include "app/Tppal.h"
#include "platform/SingleInstance.h"
#include "platform/qt/Application.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtShell.h"

namespace {

const QString applicationName = QStringLiteral("Velnara");

int refuseSecondInstance() {
  QMessageBox::critical(nullptr, applicationName, QStringLiteral("L'application est déjà en cours d'éxécution !"));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // The guard comes first; the refusal box still needs an application object
  // to be shown, but nothing of the program is created.
  const bool firstInstance = acquireSingleInstance(applicationName);
  QApplication app(argc, argv);
  configureApplication(app, QStringLiteral(VELNARA_APP_ID));
  if (!firstInstance) return refuseSecondInstance();

  MainWindow window;
  SystemPlatform platform(window, PlatformOptions{}, std::make_unique<QtShell>(makeSystemShell()));
  Tppal ppal(platform.services());
  window.setPpal(&ppal);
  ppal.FormCreate();
  // A start-up failure has already shown its message and asked to end: the
  // loop would only end again at once.
  if (ppal.terminateRequested() || window.terminationRequested()) return 0;

  window.centreOnScreen();
  window.show();
  return app.exec();
}
