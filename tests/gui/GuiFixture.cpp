#include "GuiFixture.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include "config/Installation.h"
#include "platform/db/SqlCipherDatabase.h"

GuiInstall::GuiInstall(bool updateCheckDoneToday) {
  // The demo installation velnara-setup --demo lays out: a run on it reads
  // the stand-in's demo card and writes the certificate.
  QDir().mkpath(program());
  for (const char* file : {"libapi_lec.so", "velna.mvi"})
    QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/") + QLatin1String(file),
                program() + QLatin1Char('/') + QLatin1String(file));
  ::install({cad(), program(), true, true});
  if (!updateCheckDoneToday) return;
  SqlCipherDatabase db;
  db.connect(cad() + QStringLiteral("/Trelvo/velna/velna.mvd"), QStringLiteral("Hv6Np3Xr8L"));
  db.setSql(QStringLiteral("UPDATE configuration SET valeur =\"%1\" WHERE id=\"date_maj\"")
                .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
  db.execSql();
}

GuiTest::GuiTest(bool updateCheckDoneToday, const QString& updateUrl) : install(updateCheckDoneToday) {
  window.setMessageBoxHook([this](const QString& caption, const QString& text, View::MessageIcon icon) {
    boxes.push_back({caption, text, icon});
  });
  PlatformOptions options;
  options.commonData = install.cad();
  options.programDir = install.program();
  // Nothing listens there: an update check fails at once, off the network.
  options.updateUrl =
      updateUrl.isEmpty() ? QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php") : updateUrl;
  options.siteUrl = QStringLiteral("https://www.example.test/");
  auto recordingShell = std::make_unique<RecordingShell>();
  shell = recordingShell.get();
  platform = std::make_unique<SystemPlatform>(window, options, std::move(recordingShell));
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
