// Reader list, reader initialisation and the reader page, against the
// stand-in library and a real settings file.
#include <gtest/gtest.h>

#include "support/CardStation.h"

using Icon = View::Icon;
using Row = View::StepRow;
using Label = View::Label;

namespace {
const QString kNoReaderFound = QStringLiteral("Aucun lecteur trouvé !\r\n");
const QString kReaderDown = QStringLiteral("Lecteur ne répond pas !");
}  // namespace

TEST(ReaderList, NoReaderFailsTheRunAndTheNextRunListsAgain) {
  CardStation s;
  Scenario none;
  none.readers.clear();
  s.scenario(none);
  s.run();

  EXPECT_TRUE(s.cardLog().startsWith(
      QStringLiteral("\r\n### Liste Lecteurs\r\nChoix du lecteur\r\nLecteur non branché\r\nAucun lecteur trouvé !\r\n"
                     "\r\n### Initialisation Lecteurs\r\n### Lecteur Vitale")))
      << s.cardLog().toStdString();
  EXPECT_TRUE(s.written(boldRed(QStringLiteral("Lecteur non branché\r\n") + kNoReaderFound)));
  EXPECT_EQ(s.ppal.appli_check_continue, 1);
  EXPECT_EQ(s.t.view.labelText[Label::label_suivi], kReaderDown);
  EXPECT_EQ(s.t.view.icon(Row::Image_etat3), Icon::etat_nok);
  EXPECT_EQ(s.ppal.appli_reader_lec, QStringLiteral("N/A"));
  // The first run failed before any session was opened: the session end gets 0.
  ASSERT_EQ(s.journalOf("Lec_RetraitMhtVitale").size(), 1);
  EXPECT_TRUE(s.journalOf("Lec_RetraitMhtVitale")[0].startsWith("Lec_RetraitMhtVitale session=0 "));
  EXPECT_TRUE(s.journalOf("Lec_FermetureSessionVitale")[0].startsWith("Lec_FermetureSessionVitale session=0 "));
  EXPECT_TRUE(s.journalOf("Lec_OuvertureSessionVitale").isEmpty());

  s.goodWorkstation();
  s.clearJournal();
  s.run();
  EXPECT_EQ(s.journalOf("Lec_ListeLecteurs").size(), 2);
  EXPECT_TRUE(s.log().contains(QStringLiteral("Nombre de lecteurs : 1\r\nLecteur branché : ") + kReader));
  EXPECT_EQ(s.ppal.appli_reader_lec, kReader);
  EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_ok);
}

TEST(ReaderList, BlockingStatusWithAReaderFailsTheRunButKeepsTheReader) {
  CardStation s(QStringLiteral("INSERT INTO erreur VALUES ('5', 'O');"));
  s.goodWorkstation();
  Scenario blocking;
  blocking.returns["Lec_ListeLecteurs"] = 5;
  blocking.errors["Lec_ListeLecteurs"] = 77;
  s.scenario(blocking);
  s.run();

  EXPECT_TRUE(
      s.cardLog().startsWith(QStringLiteral("\r\n### Liste Lecteurs\r\nChoix du lecteur\r\n"
                                            "Nombre de lecteurs : 1 (erreur : 77 / code : 5)\r\n"
                                            "Cette erreur est bloquante pour le lecteur\r\n"
                                            "Lecteur non branché\r\n"
                                            "\r\n### Initialisation Lecteurs")))
      << s.cardLog().toStdString();
  EXPECT_TRUE(s.written(boldRed(QStringLiteral("Lecteur non branché\r\n"))));
  EXPECT_EQ(s.t.view.labelText[Label::label_suivi], kReaderDown);
  EXPECT_EQ(s.ppal.appli_reader_lec, kReader);
  EXPECT_EQ(s.ppal.appli_nom_lecteur, QString());

  // The next run does not list again and goes on with the initialisation.
  s.scenario(Scenario{});
  s.clearJournal();
  s.run();
  EXPECT_TRUE(s.journalOf("Lec_ListeLecteurs").isEmpty());
  EXPECT_TRUE(s.cardLog().startsWith(
      QStringLiteral(
          "\r\n### Liste Lecteurs\r\n### Initialisation Lecteurs\r\nInitialisation du lecteur\r\nLecteur reconnu : ") +
      kReader));
  // No listing ever succeeded: the settings' name differs from the empty one.
  EXPECT_TRUE(s.log().contains(QStringLiteral("Les lecteurs sont différents (peut ne pas être grave)\r\n")));
  EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_ok);
}

TEST(ReaderList, NonBlockingStatusShowsTheReaderButDoesNotStoreItsName) {
  CardStation s;
  s.goodWorkstation();
  Scenario odd;
  odd.returns["Lec_ListeLecteurs"] = 6;  // no row in erreur: not blocking
  s.scenario(odd);
  s.run();

  EXPECT_TRUE(s.cardLog().contains(QStringLiteral("Choix du lecteur\r\n"
                                                  "Nombre de lecteurs : 1 (erreur : 0 / code : 6)\r\n"
                                                  "Erreur sans impact sur le fonctionnement\r\n"
                                                  "Lecteur branché : ") +
                                   kReader + QStringLiteral("\r\n\r\n### Initialisation")))
      << s.cardLog().toStdString();
  EXPECT_TRUE(s.written(boldGreen(kReader + QStringLiteral("\r\n"))));
  EXPECT_TRUE(s.written(plainBlack(QStringLiteral("Erreur sans impact sur le fonctionnement\r\nLecteur branché : "))));
  EXPECT_EQ(s.ppal.appli_nom_lecteur, QString());
  EXPECT_EQ(s.ppal.appli_reader_lec, kReader);
  EXPECT_TRUE(s.written(boldRed(QStringLiteral("Les lecteurs sont différents (peut ne pas être grave)\r\n"))));
  EXPECT_EQ(s.t.view.icon(Row::Image_etat3), Icon::etat_ok);
}

TEST(ReaderList, ErrorsOfTheListingEndInNoReaderFound) {
  // A non-zero status with no reader needs the first reader's name, and a
  // classification that cannot reach the database raises: both are caught.
  struct Case {
    const char* name;
    bool readers;
    bool databaseDown;  // the erreur table cannot be queried
  };
  for (const Case& c : {Case{"status without reader", false, false}, Case{"database down", true, true}}) {
    SCOPED_TRACE(c.name);
    CardStation s(c.databaseDown ? QStringLiteral("DROP TABLE erreur;") : QString());
    s.goodWorkstation();
    Scenario scenario;
    if (!c.readers) scenario.readers.clear();
    scenario.returns["Lec_ListeLecteurs"] = 6;
    s.scenario(scenario);
    s.run();

    EXPECT_FALSE(s.ppal.lastUnhandledError());
    EXPECT_TRUE(s.written(boldRed(kNoReaderFound)));
    EXPECT_EQ(s.ppal.appli_reader_lec, QStringLiteral("N/A"));
    EXPECT_EQ(s.ppal.appli_check_continue, 1);
    EXPECT_EQ(s.t.view.labelText[Label::label_suivi], kReaderDown);
  }
}

TEST(ReaderInit, SettingsFileDecidesTheNameGivenToTheLibrary) {
  struct Case {
    const char* name;
    std::optional<QByteArray> settings;  // nullopt: no file
    QString logged;                      // after "Contenu api_lec : "
    TextRun verdict;
    QByteArray given;  // the name Lec_InitLecteurs receives
  };
  const TextRun same = boldGreen(QStringLiteral("Les lecteurs sont identiques\r\n"));
  const TextRun different = boldRed(QStringLiteral("Les lecteurs sont différents (peut ne pas être grave)\r\n"));
  const Case cases[] = {
      {"same name", "[Lecteur]\r\nRessource_Vitale=Generic Usb Smart Card Reader 0\r\n", kReader + "\r\n", same,
       kReader.toLatin1()},
      {"case differs", "[lecteur]\nressource_vitale=generic usb smart card reader 0\n",
       QStringLiteral("generic usb smart card reader 0\r\n"), different, "generic usb smart card reader 0"},
      {"empty value", "[Lecteur]\r\nRessource_Vitale=\r\n", QStringLiteral("\r\n"), different, ""},
      {"no key", "[Autre]\r\nRessource_Vitale=x\r\n", QString(),
       boldRed(QStringLiteral("Fichier non trouvé à l'emplacement voulu\r\n")), ""},
      {"no file", std::nullopt, QString(), boldRed(QStringLiteral("Fichier non trouvé à l'emplacement voulu\r\n")), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s;
    s.goodWorkstation();
    if (c.settings) {
      s.settings(*c.settings);
    } else {
      QFile::remove(s.settingsPath());
    }
    s.run();

    EXPECT_TRUE(s.log().contains(QStringLiteral("Lecteur reconnu : ") + kReader +
                                 QStringLiteral("\r\nContenu api_lec : ") + c.logged + c.verdict.text +
                                 QStringLiteral("Lecteur initialisé\r\n")))
        << s.cardLog().toStdString();
    EXPECT_TRUE(s.written(c.verdict));
    EXPECT_EQ(s.ppal.appli_reader_use, c.given);
    const QList<QByteArray> init = s.journalOf("Lec_InitLecteurs");
    ASSERT_EQ(init.size(), 1);
    EXPECT_TRUE(init[0].startsWith("Lec_InitLecteurs reader=\"" + c.given + "\" reader_again=\"" + c.given + "\" "))
        << init[0].toStdString();
    // None of these is a failure.
    EXPECT_EQ(s.t.view.icon(Row::Image_etat3), Icon::etat_ok);
    EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_ok);
  }
}

TEST(ReaderInit, NamesCrossTheLibraryInItsSingleByteCodePage) {
  CardStation s;
  s.goodWorkstation();
  Scenario accented;
  accented.readers = {"Lecteur G\xe9n\xe9rique \x80 0"};  // Windows-1252: é and €
  s.scenario(accented);
  s.settings("[Lecteur]\r\nRessource_Vitale=Lecteur G\xe9n\xe9rique \x80 0\r\n");
  s.run();

  const QString name = QStringLiteral("Lecteur Générique € 0");
  EXPECT_EQ(s.ppal.appli_reader_lec, name);
  EXPECT_EQ(s.ppal.appli_nom_lecteur_ini, name);
  EXPECT_TRUE(s.log().contains(QStringLiteral("Les lecteurs sont identiques\r\n")));
  ASSERT_EQ(s.journalOf("Lec_InitLecteurs").size(), 1);
  EXPECT_TRUE(
      s.journalOf("Lec_InitLecteurs")[0].startsWith("Lec_InitLecteurs reader=\"Lecteur G\xe9n\xe9rique \x80 0\""));
}

TEST(ReaderInit, BlockingAndNonBlockingInitialisationStatus) {
  struct Case {
    const char* name;
    QString rows;
    QString lines;
    Icon icon;
  };
  const Case cases[] = {
      {"blocking", QStringLiteral("INSERT INTO erreur VALUES ('40', 'O');"),
       QStringLiteral("Retour en erreur : 40 (code : 3)\r\nCette erreur est bloquante pour le lecteur\r\n"
                      "Lecteur non joignable\r\n\r\n### Lecteur Vitale"),
       Icon::etat_nok},
      {"not blocking", QStringLiteral("INSERT INTO erreur VALUES ('40', 'o');"),
       QStringLiteral("Retour en erreur : 40 (code : 3)\r\nErreur sans impact sur le fonctionnement\r\n"
                      "Lecteur initialisé\r\n\r\n### Lecteur Vitale"),
       Icon::etat_ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s(c.rows);
    s.goodWorkstation();
    Scenario scenario;
    scenario.returns["Lec_InitLecteurs"] = 40;
    scenario.errors["Lec_InitLecteurs"] = 3;
    s.scenario(scenario);
    s.run();
    EXPECT_TRUE(s.cardLog().contains(c.lines)) << s.cardLog().toStdString();
    EXPECT_EQ(s.t.view.icon(Row::Image_etat3), c.icon);
  }
}

TEST(ReaderInit, DatabaseFailureDuringClassificationEndsTheRun) {
  CardStation s(QStringLiteral("DROP TABLE erreur;"));
  s.goodWorkstation();
  Scenario scenario;
  scenario.returns["Lec_InitLecteurs"] = 40;
  s.scenario(scenario);
  s.run();

  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Error);
  EXPECT_EQ(s.t.view.icon(Row::Image_etat3), Icon::etat_en_cours);
  EXPECT_TRUE(s.journalOf("Lec_OuvertureSessionVitale").isEmpty());
  EXPECT_TRUE(s.journalOf("Lec_RetraitMhtVitale").isEmpty());
}

TEST(ReaderPage, ShowsTheConfiguredReaderOrAProposal) {
  struct Case {
    const char* name;
    std::optional<QByteArray> settings;
    QString configured, toForce;
  };
  const Case cases[] = {
      {"configured", "[LECTEUR]\r\nRESSOURCE_VITALE=Generic Usb Smart Card Reader 0\r\n", kReader, kReader},
      {"empty value", "[Lecteur]\r\nRessource_Vitale=\r\n", QString(), QString()},
      {"no file", std::nullopt, QStringLiteral("N/A (introuvable)"),
       QStringLiteral("SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s;
    if (c.settings) s.settings(*c.settings);
    s.t.view.setEditText(View::Edit::Edit_gestion_1, QStringLiteral("stale"));
    s.t.view.setEditText(View::Edit::edit_gestion_2, QStringLiteral("stale"));
    s.ppal.btn_configClick();
    EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_config);
    EXPECT_EQ(s.t.view.editText(View::Edit::Edit_gestion_1), c.configured);
    EXPECT_EQ(s.t.view.editText(View::Edit::edit_gestion_2), c.toForce);
  }
}

TEST(ReaderPage, ChangingTheReaderWritesOnlyThatValueAndAsksForARestart) {
  CardStation s;
  s.settings("; reglages\r\n[Lecteur]\r\nRessource_Vitale=Ancien\r\nAutre=1\r\n[Divers]\r\nx=y\r\n");
  s.ppal.btn_configClick();
  s.t.view.setEditText(View::Edit::edit_gestion_2, QStringLiteral("Lecteur Général 0"));
  s.ppal.btn_gestion_4Click();

  QFile f(s.settingsPath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("; reglages\r\n[Lecteur]\r\nRessource_Vitale=Lecteur G\xe9n\xe9ral 0\r\nAutre=1\r\n"
                                    "[Divers]\r\nx=y\r\n"));
  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Gestion lecteur"));
  EXPECT_EQ(s.t.view.messages[0].text, QStringLiteral("Le programme doit être arrêter puis relancer pour\r"
                                                      "la bonne prise en compte de cette modification"));
  EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Information);
  // Nothing else changes until the next initialisation reads it.
  EXPECT_EQ(s.ppal.appli_nom_lecteur_ini, QString());
}

TEST(ReaderPage, WithoutSettingsFileTheProposalIsWritten) {
  CardStation s;
  s.ppal.btn_configClick();
  s.ppal.btn_gestion_4Click();
  QFile f(s.settingsPath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("Ressource_Vitale=SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0"));
}

TEST(ReaderPage, AFailedWriteShowsTheErrorBoxOnly) {
  CardStation s;
  s.ppal.appli_ini_file = s.t.install.dir.path() + QStringLiteral("/absent/api_lec.ini");
  s.t.view.setEditText(View::Edit::edit_gestion_2, kReader);
  s.ppal.btn_gestion_4Click();

  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(s.t.view.messages[0].text, QStringLiteral("Impossible d'écrire dans ") + s.ppal.appli_ini_file);
  EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Error);
  EXPECT_FALSE(QFile::exists(s.ppal.appli_ini_file));
}
