// The configuration database at start-up, the classification rule and the
// installation file check, on real database files.
#include <gtest/gtest.h>

#include "support/TestPlatform.h"

namespace {
const QString kNoConfig =
    QStringLiteral("Impossible de charger le système de configuration ! \rVeuillez réinstaller l'application");
const QString kCorrupt = QStringLiteral("Base de données corromptue ! \rVeuillez réinstaller l'application");

struct Started {
  explicit Started(const QString& rows) : t(rows) { ppal.FormCreate(); }
  TestPlatform t;
  Tppal ppal{t.services()};
};

QString dateRow(const QString& value) {
  return QStringLiteral("INSERT INTO configuration VALUES ('date_maj', %1);").arg(value);
}
}  // namespace

TEST(Configuration, ReadsTheDateOfTheLastCheck) {
  const std::pair<QString, int32_t> cases[] = {
      {dateRow(QStringLiteral("'20210622'")), 20210622},
      {dateRow(QStringLiteral("NULL")), -567485616},
      {QStringLiteral(""), -567485616},  // no date_maj row at all
  };
  for (const auto& [rows, expected] : cases) {
    Started s(rows);
    EXPECT_EQ(s.ppal.appli_maj_date, expected) << rows.toStdString();
    EXPECT_TRUE(s.t.view.messages.empty());
    EXPECT_FALSE(s.ppal.terminateRequested());
  }
}

TEST(Configuration, DateWithSeparatorsIsACorruptDatabase) {
  Started s(dateRow(QStringLiteral("'2021-06-22'")));
  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Erreur au chargement..."));
  EXPECT_EQ(s.t.view.messages[0].text, kCorrupt);
  EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Information);
  EXPECT_TRUE(s.t.view.messages[0].wait);
  EXPECT_TRUE(s.ppal.terminateRequested());
  EXPECT_FALSE(s.t.db.isConnected());
}

TEST(Configuration, UnopenableDatabaseShowsOnlyTheFirstMessage) {
  struct Case {
    const char* what;
    std::function<void(const TestInstall&)> spoil;
  };
  const Case cases[] = {
      {"missing", [](const TestInstall& i) { QFile::remove(i.database()); }},
      {"wrong password",
       [](const TestInstall& i) {
         QFile::remove(i.database());
         SqlCipherDatabase::createFromScript(i.database(), QStringLiteral("autre"),
                                             QStringLiteral("CREATE TABLE configuration (id TEXT, valeur TEXT);"));
       }},
      {"damaged",
       [](const TestInstall& i) {
         QFile f(i.database());
         f.open(QIODevice::WriteOnly);
         f.write(QByteArray(4096, 'x'));
       }},
  };
  for (const Case& c : cases) {
    TestPlatform t;
    c.spoil(t.install);
    Tppal ppal(t.services());
    ppal.FormCreate();
    ASSERT_EQ(t.view.messages.size(), 2u) << c.what;
    EXPECT_EQ(t.view.messages[0].text, kNoConfig) << c.what;
    EXPECT_TRUE(t.view.messages[0].wait) << c.what;
    // The read that follows fails too, but its box does not wait for the user.
    EXPECT_FALSE(t.view.messages[1].wait) << c.what;
    EXPECT_TRUE(ppal.terminateRequested()) << c.what;
    EXPECT_TRUE(t.view.terminate) << c.what;
    // The rest of the start-up still ran.
    EXPECT_EQ(ppal.appli_maj_name, t.install.cad() + QStringLiteral("/Trelvo/velna/velna-last.exe")) << c.what;
  }
  // Nothing is created in place of a missing database.
  TestPlatform t;
  QFile::remove(t.install.database());
  Tppal ppal(t.services());
  ppal.FormCreate();
  EXPECT_FALSE(QFile::exists(t.install.database()));
}

TEST(Configuration, OnlyCapitalOIsBlocking) {
  Started s(QStringLiteral("INSERT INTO erreur VALUES ('1', 'O'), ('2', 'N'), ('3', 'o'), ('4', ''), ('5', NULL);"));
  const std::pair<uint16_t, bool> cases[] = {{1, true}, {2, false}, {3, false}, {4, false}, {5, false}, {6, false}};
  for (const auto& [code, blocking] : cases) EXPECT_EQ(s.ppal.isBlockingCode(code), blocking) << code;
}

TEST(Configuration, EngineErrorDuringClassificationReachesTheErrorBox) {
  Started s(QStringLiteral("INSERT INTO erreur VALUES ('1', 'O');"));
  s.t.db.setSql(QStringLiteral("DROP TABLE erreur"));
  s.t.db.execSql();
  s.ppal.guarded([&] { s.ppal.isBlockingCode(1); });
  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_TRUE(s.t.view.messages[0].text.contains(QStringLiteral("erreur"))) << s.t.view.messages[0].text.toStdString();
}

namespace {
// Runs the file check alone and gives the log lines after its sub-heading.
QString fileCheckLines(Tppal& ppal) {
  ppal.FormCreate();
  ppal.check_fichiers();
  const QString log = ppal.debugLog().plainText();
  return log.mid(log.indexOf(QStringLiteral("\r\nContrôle des fichiers\r\n")) + 25);
}

void writeFile(const QString& path, int size) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(size, 'a'));
}
}  // namespace

TEST(FileCheck, EveryRowIsLoggedWithItsVerdict) {
  TestPlatform t;
  const QString other = t.install.dir.path() + QStringLiteral("/autre/");
  QDir().mkpath(other);
  writeFile(t.install.program() + QStringLiteral("/logo.jpg"), 10);
  writeFile(t.install.program() + QStringLiteral("/vide.dat"), 0);
  writeFile(t.install.apilec() + QStringLiteral("api_lec.ini"), 3);
  writeFile(other + QStringLiteral("a.txt"), 4);
  t.install.writeDatabase(QStringLiteral("INSERT INTO fichiers VALUES (1, 'absent.dat', 'N/A', '0');"
                                         "INSERT INTO fichiers VALUES (2, 'logo.jpg', 'N/A', '10');"
                                         "INSERT INTO fichiers VALUES (3, 'vide.dat', 'N/A', '10');"
                                         "INSERT INTO fichiers VALUES (4, 'vide.dat', 'N/A', '0');"
                                         "INSERT INTO fichiers VALUES (5, 'api_lec.ini', 'apilec', '0');"
                                         "INSERT INTO fichiers VALUES (6, 'api_lec.ini', 'APILEC', '0');"
                                         "INSERT INTO fichiers VALUES (7, 'a.txt', '%1', '4');"
                                         "INSERT INTO fichiers VALUES (8, 'a.txt', '%2', '0');")
                              .arg(other, other.chopped(1)));
  Tppal ppal(t.services());
  const QString lines = fileCheckLines(ppal);

  EXPECT_EQ(lines, QStringLiteral("absent.dat (N/A) : manquant\r\n"
                                  "logo.jpg (N/A) : présent (taille valide)\r\n"
                                  "vide.dat (N/A) : taille incorrecte (0!=10)\r\n"
                                  "vide.dat (N/A) : présent (taille non contrôlée)\r\n"
                                  "api_lec.ini (apilec) : présent (taille non contrôlée)\r\n"
                                  "api_lec.ini (APILEC) : manquant\r\n"
                                  "a.txt (%1) : présent (taille valide)\r\n"
                                  "a.txt (%2) : manquant\r\n")
                       .arg(other, other.chopped(1)));
  EXPECT_EQ(ppal.appli_check_continue, 1);
  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat1), View::Icon::etat_nok);
  EXPECT_EQ(t.view.labelText[View::Label::label_suivi], QStringLiteral("Fichier(s) manquant(s) !"));

  const auto& runs = ppal.debugLog().runs();
  const auto verdict = std::find_if(runs.begin(), runs.end(), [](const TextRun& r) {
    return r.text == QStringLiteral("taille incorrecte (0!=10)\r\n");
  });
  ASSERT_NE(verdict, runs.end());
  EXPECT_EQ(verdict->style, unsigned(fsBold));
  EXPECT_EQ(verdict->color, colors::red);
}

TEST(FileCheck, EmptyTablePasses) {
  TestPlatform t;
  Tppal ppal(t.services());
  EXPECT_EQ(fileCheckLines(ppal), QString());
  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat1), View::Icon::etat_ok);
}

TEST(FileCheck, UnreadableRowEndsTheRunThroughTheErrorBox) {
  TestPlatform t(QStringLiteral("INSERT INTO fichiers VALUES (1, 'x', NULL, '0');"));
  Tppal ppal(t.services());
  ppal.FormCreate();
  ppal.action_vitale2Click();
  ASSERT_EQ(t.view.messages.size(), 1u);
  EXPECT_EQ(t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat1), View::Icon::etat_en_cours);
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_launch);
}
