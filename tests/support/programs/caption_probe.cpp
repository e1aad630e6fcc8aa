// Shows one of the program's message boxes, configured as the program
// configures itself, so that a test can read the title the window system
// got: caption_probe CAPTION TEXT.
#include <QApplication>

#include "platform/qt/Application.h"
#include "platform/qt/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  configureApplication(app, QStringLiteral(VELNARA_APP_ID));
  if (argc < 3) return 2;
  MainWindow window;
  window.messageBox(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]), View::MessageIcon::Information, true);
  return 0;
}
