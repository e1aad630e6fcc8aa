// A window with the certificate's title, grabbed to a PNG: proves Qt
// Widgets, its platform plugin (windows or offscreen, -platform) and the
// text rendering of French accents under Wine.
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#ifdef SMOKE_WITH_SVG
#include <QSvgRenderer>
#include <QSvgWidget>
#endif

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: smoke_qt OUTPUT.png\n");
    return 2;
  }
  const QString output = args.last();

  QWidget window;
  window.setWindowTitle(QString::fromUtf8("Velnara — essai"));
  auto* layout = new QVBoxLayout(&window);
  auto* title = new QLabel(QString::fromUtf8("Attestation de droits Régime Obligatoire"));
  QFont font = title->font();
  font.setPointSize(16);
  font.setBold(true);
  title->setFont(font);
  layout->addWidget(title);
  layout->addWidget(new QLabel(QString::fromUtf8("Bénéficiaires : élève, né le 12/03/2009 — à jour ✓")));
#ifdef SMOKE_WITH_SVG
  static const char svg[] =
      "<svg xmlns='http://www.w3.org/2000/svg' width='64' height='40'>"
      "<rect x='2' y='2' width='60' height='36' rx='6' fill='#2e7d32'/>"
      "<circle cx='20' cy='20' r='10' fill='#ffeb3b'/></svg>";
  auto* picture = new QSvgWidget;
  picture->load(QByteArray(svg));
  picture->setFixedSize(64, 40);
  layout->addWidget(picture);
#endif
  window.resize(520, 140);
  window.show();

  int rc = 1;
  QTimer::singleShot(300, [&] {
    const QPixmap shot = window.grab();
    const bool saved = !shot.isNull() && shot.save(output, "PNG");
    const QStringList families = QFontDatabase::families();
    std::printf("platform=%s size=%dx%d saved=%d font=%s (drawn with %s) families=%lld first=%s\n",
                qPrintable(QGuiApplication::platformName()), shot.width(), shot.height(), saved ? 1 : 0,
                qPrintable(title->font().family()), qPrintable(QFontInfo(title->font()).family()),
                static_cast<long long>(families.size()), qPrintable(families.value(0)));
    // No font family means every glyph drawn as a box.
    rc = saved && !families.isEmpty() ? 0 : 1;
    app.quit();
  });
  app.exec();
  return rc;
}
