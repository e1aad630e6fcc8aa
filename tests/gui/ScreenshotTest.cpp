// Renders every page of the window to PNG under <build>/screenshots/ so that
// a person can look at them (the README shows two of them).
#include <set>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "GuiFixture.h"

namespace {

QString screenshotFolder() { return QDir::cleanPath(QStringLiteral(VELNARA_BIN_DIR "/../screenshots")); }

class Screenshots : public GuiTest {
 protected:
  // Saves the whole window as name.png and checks that something was drawn.
  void shoot(const QString& name) {
    QCoreApplication::processEvents();
    const QImage image = window.grab().toImage();
    ASSERT_EQ(image.size(), QSize(617, 476)) << name.toStdString();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
      for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20u) << name.toStdString() << " looks empty";
    ASSERT_TRUE(QDir().mkpath(screenshotFolder()));
    const QString path = screenshotFolder() + QLatin1Char('/') + name + QStringLiteral(".png");
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
  }
};

TEST_F(Screenshots, EveryPage) {
  shoot(QStringLiteral("tab_carte"));

  window.showPage(View::Page::tab_launch);
  shoot(QStringLiteral("tab_launch_idle"));

  window.showPage(View::Page::tab_carte);
  runOnce();
  shoot(QStringLiteral("run_end"));
  // The progress page as the run left it.
  window.showPage(View::Page::tab_launch);
  for (const char* row : {"Image_etat1", "Image_etat2b", "Image_etat3", "Image_etat4", "Image_etat5", "Image_etat6"})
    EXPECT_FALSE(widget<QLabel>(QString::fromLatin1(row))->pixmap().isNull()) << row;
  shoot(QStringLiteral("tab_launch"));

  click(QStringLiteral("btn_diagnostique"));
  shoot(QStringLiteral("tab_debug"));

  window.showPage(View::Page::tab_pdf);
  shoot(QStringLiteral("tab_pdf"));

  click(QStringLiteral("btn_about"));
  shoot(QStringLiteral("tab_about"));

  click(QStringLiteral("btn_config"));
  shoot(QStringLiteral("tab_config"));

  click(QStringLiteral("btn_update"));
  shoot(QStringLiteral("tab_update"));

  // The same page with an update offered, then during its download.
  window.setButtonVisible(View::Button::btn_update_go, true);
  shoot(QStringLiteral("tab_update_offered"));
  window.setButtonVisible(View::Button::btn_update_go, false);
  window.setProgressVisible(true);
  window.setProgressPosition(40);
  window.setDownloadTextVisible(true);
  window.setEditText(View::Edit::txt_suivi_download,
                     QStringLiteral("4 096,00 sur 10 240,00 Kb fait, temps restant 0,25 min"));
  shoot(QStringLiteral("tab_update_download"));
}

}  // namespace
