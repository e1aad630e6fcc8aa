// Start-up sequence, toolbar and the About text.
#include <gtest/gtest.h>

#include "support/TestPlatform.h"

using Button = View::Button;
using Page = View::Page;

TEST(Startup, FixesIdentityFoldersAndStatusBar) {
  TestPlatform t;
  Tppal ppal(t.services());
  ppal.FormCreate();

  const std::pair<QString, QString> fields[] = {
      {ppal.appli_nom, QStringLiteral("Velnara")},
      {ppal.appli_logiciel, QStringLiteral("velna")},
      {ppal.appli_societe, QStringLiteral("Trelvo")},
      {ppal.appli_version, QStringLiteral("1.09")},
      {ppal.appli_ini_file, t.install.cad() + QStringLiteral("/santesocial/api_lec/api_lec.ini")},
      {ppal.appli_dossier_commun, t.install.cad() + QStringLiteral("/Trelvo/velna")},
      {ppal.appli_dossier_apilec, t.install.apilec()},
      {QString::fromUtf8(ppal.appli_dossier_apilec_force), t.install.apilec()},
      {ppal.appli_maj_name, t.install.cad() + QStringLiteral("/Trelvo/velna/velna-last.exe")},
      {ppal.appli_url_update, QStringLiteral("https://maj.example.test/obtenir-derniere-version.php")},
      {ppal.appli_reader_lec, QStringLiteral("N/A")},
      {ppal.appli_apilec_version, QStringLiteral("1.0.0.1")},
      {t.view.status, QStringLiteral("Version 1.09 (1.0.0.1)")},
      {t.downloader.localFolder(), t.install.cad() + QStringLiteral("/Trelvo/velna")},
  };
  for (const auto& [actual, expected] : fields) EXPECT_EQ(actual, expected);

  EXPECT_EQ(t.view.currentPage(), Page::tab_carte);
  for (Button b : {Button::btn_vitale, Button::btn_config, Button::btn_update, Button::btn_about})
    EXPECT_TRUE(t.view.isButtonVisible(b));
  EXPECT_FALSE(t.view.isButtonVisible(Button::btn_diagnostique));
  EXPECT_FALSE(t.view.isButtonVisible(Button::btn_update_go));
}

TEST(Startup, LibraryWithoutVersionGivesEmptyParentheses) {
  TestPlatform t;
  QFile::remove(t.install.program() + QStringLiteral("/libapi_lec.so"));
  Tppal ppal(t.services());
  ppal.FormCreate();
  EXPECT_EQ(t.view.status, QStringLiteral("Version 1.09 ()"));
  EXPECT_TRUE(ppal.aboutText().plainText().contains(QStringLiteral("Version APILEC : \r\n")));
}

TEST(Startup, EachToolbarButtonShowsItsPageAndDiagnosticFollowsItsRules) {
  TestPlatform t;
  Tppal ppal(t.services());
  ppal.FormCreate();

  ppal.btn_configClick();
  EXPECT_EQ(t.view.currentPage(), Page::tab_config);
  ppal.btn_aboutClick();
  EXPECT_EQ(t.view.currentPage(), Page::tab_about);

  ppal.btn_updateClick();
  EXPECT_EQ(t.view.currentPage(), Page::tab_update);
  EXPECT_TRUE(t.view.isButtonVisible(Button::btn_diagnostique));
  // The on-demand check writes the header and the check's lines only.
  const QString log = ppal.debugLog().plainText();
  EXPECT_TRUE(log.startsWith(QStringLiteral("Diagnostic pour Velnara\r\n\r\n")));
  EXPECT_FALSE(log.contains(QStringLiteral("###")));

  ppal.btn_diagnostiqueClick();
  EXPECT_EQ(t.view.currentPage(), Page::tab_debug);
  EXPECT_EQ(t.view.scrolls, 1);

  ppal.btn_vitaleClick();
  EXPECT_EQ(t.view.currentPage(), Page::tab_carte);
  EXPECT_FALSE(t.view.isButtonVisible(Button::btn_diagnostique));
  ppal.btn_aboutClick();
  EXPECT_FALSE(t.view.isButtonVisible(Button::btn_diagnostique));

  ppal.btn_quitClick();
  EXPECT_TRUE(t.view.terminate);
  EXPECT_TRUE(ppal.terminateRequested());
}

TEST(About, TextIsWrittenOnceWithItsHeadingsAndLinksOpenInTheBrowser) {
  TestPlatform t;
  Tppal ppal(t.services());
  ppal.FormCreate();
  const QString text = ppal.aboutText().plainText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Qui sommes nous ?\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("\r\n\r\nTéléphone : ")));
  EXPECT_TRUE(
      text.contains(QStringLiteral("\r\nInformations de l'application\r\nVersion : 1.09\r\n"
                                   "Version APILEC : 1.0.0.1\r\nHomologué par le GIE Vitale Sesame\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("\r\nEquipe de développement\r\nDéveloppeur Application: ")));
  for (const TextRun& run : ppal.aboutText().runs()) EXPECT_EQ(run.color, colors::black);
  EXPECT_EQ(ppal.aboutText().runs().front().style, unsigned(fsBold | fsUnderline));

  ppal.btn_aboutClick();
  ppal.btn_aboutClick();
  EXPECT_EQ(ppal.aboutText().plainText(), text);

  ppal.lbl_link3Click();
  ppal.lbl_link2Click();
  ASSERT_EQ(t.shell.opened.size(), 2);
  EXPECT_EQ(t.shell.opened[0], QStringLiteral("https://www.example.test/"));
  EXPECT_TRUE(t.shell.opened[1].startsWith(QStringLiteral("https://")));
  EXPECT_EQ(t.view.currentPage(), Page::tab_about);
}
