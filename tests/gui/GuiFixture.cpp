#include "GuiFixture.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include "platform/db/SqlCipherDatabase.h"

namespace {

// The configuration database's password and tables, as the installation
// lays them out.
const QString databasePassword = QStringLiteral("Hv6Np3Xr8L");
const QString databaseSchema = QStringLiteral(
    "CREATE TABLE configuration (id TEXT PRIMARY KEY, valeur TEXT);"
    "CREATE TABLE erreur (id TEXT PRIMARY KEY, bloquant TEXT);"
    "CREATE TABLE fichiers (id INTEGER PRIMARY KEY, nom TEXT, dossier TEXT, taille TEXT);");

}  // namespace

GuiInstall::GuiInstall() {
  QDir().mkpath(cad() + QStringLiteral("/Trelvo/velna"));
  QDir().mkpath(cad() + QStringLiteral("/santesocial/api_lec"));
  QDir().mkpath(program());
  QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/libapi_lec.so"), program() + QStringLiteral("/libapi_lec.so"));
  const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
  SqlCipherDatabase::createFromScript(
      cad() + QStringLiteral("/Trelvo/velna/velna.mvd"), databasePassword,
      databaseSchema + QStringLiteral("INSERT INTO configuration VALUES ('date_maj', '%1');").arg(today));
}

GuiTest::GuiTest() {
  window.setMessageBoxHook([this](const QString& caption, const QString& text, View::MessageIcon icon) {
    boxes.push_back({caption, text, icon});
  });
  PlatformOptions options;
  options.commonData = install.cad();
  options.programDir = install.program();
  // Nothing listens there: an update check fails at once, off the network.
  options.updateUrl = QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php");
  options.siteUrl = QStringLiteral("https://www.example.test/");
  auto recordingShell = std::make_unique<RecordingShell>();
  shell = recordingShell.get();
  platform = std::make_unique<LinuxPlatform>(window, options, std::move(recordingShell));
  Platform services = platform->services();
  services.downloader = &downloader;
  ppal = std::make_unique<Tppal>(services);
  window.setPpal(ppal.get());
  ppal->FormCreate();
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
}

GuiTest::~GuiTest() {
  window.setPpal(nullptr);
  window.hide();
}

QString GuiTest::pageShown() const {
  const auto* pages = window.findChild<QStackedWidget*>(QStringLiteral("tab_master"));
  return pages && pages->currentWidget() ? pages->currentWidget()->objectName() : QString();
}

void GuiTest::click(const QString& name) {
  QWidget* target = widget(name);
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(target->isVisible()) << name.toStdString() << " is not visible";
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
}
