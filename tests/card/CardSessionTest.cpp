// Card session, card access and card read: what each failure writes, which
// code is classified, and the session end that follows in every run.
#include <gtest/gtest.h>

#include "support/CardStation.h"

using Icon = View::Icon;
using Row = View::StepRow;
using Label = View::Label;

namespace {

const QString kCardLines = QStringLiteral(
    "Cette erreur est bloquante pour la lecture\r\n"
    "Assurez-vous que le carte est bien insérée\r\n"
    "La carte ne peut pas être lue\r\n");

struct BlockingCase {
  const char* name;
  const char* call;
  int status, error;
  QString rows;   // erreur rows
  QString lines;  // the step's lines, from the failure on
  QString label;
  Row failingRow;
};

}  // namespace

TEST(CardSession, BlockingFailuresOfEachCardStep) {
  const BlockingCase cases[] = {
      {"session opening", "Lec_OuvertureSessionVitale", 30, 4, QStringLiteral("INSERT INTO erreur VALUES ('30','O');"),
       QStringLiteral("Retour en erreur : 30 (code : 4)\r\nNombre lecteurs : 0 (session : 7)\r\n"
                      "Cette erreur est bloquante pour le lecteur\r\nLecteur non joignable\r\n"),
       QStringLiteral("Lecteur ne répond pas !"), Row::Image_etat3},
      // The card access is classified by its error code, whatever its status.
      {"card access", "Lec_IntroductionMstVitale", 31, 12, QStringLiteral("INSERT INTO erreur VALUES ('12','O');"),
       QStringLiteral("Retour en erreur : 31 (code : 12)\r\nEtat carte : 1 (session : 7)\r\n") + kCardLines,
       QStringLiteral("Carte pas/mal insérée !"), Row::Image_etat4},
      {"card read", "Lec_LectureVitale", 20, 0, QStringLiteral("INSERT INTO erreur VALUES ('20','O');"),
       QStringLiteral("Retour en erreur : 20 (code : 0)\r\nTaille retour : %1 (session : 7)\r\n")
               .arg(fixture(QStringLiteral("carte-utf8.xml")).size()) +
           kCardLines,
       QStringLiteral("Données illisibles !"), Row::Image_etat5},
  };
  for (const BlockingCase& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s(c.rows);
    s.goodWorkstation();
    Scenario scenario;
    scenario.returns[c.call] = c.status;
    scenario.errors[c.call] = c.error;
    s.scenario(scenario);
    s.run();

    EXPECT_FALSE(s.ppal.lastUnhandledError());
    EXPECT_TRUE(s.log().contains(c.lines + QStringLiteral("\r\n### "))) << s.cardLog().toStdString();
    const QStringList lines = c.lines.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_TRUE(s.written(boldRed(lines.back() + QStringLiteral("\r\n"))));
    EXPECT_EQ(s.ppal.appli_check_continue, 1);
    EXPECT_EQ(s.t.view.labelText[Label::label_suivi], c.label);
    EXPECT_EQ(s.t.view.labelColor[Label::label_suivi], colors::maroon);
    EXPECT_EQ(s.t.view.icon(c.failingRow), Icon::etat_nok);
    EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_nok);
    // No extraction after a failure, yet the session opened in row 5 is ended.
    EXPECT_TRUE(s.t.view.knownReaders.isEmpty());
    EXPECT_FALSE(s.log().contains(QStringLiteral("Dictionnaire")));
    ASSERT_EQ(s.journalOf("Lec_RetraitMhtVitale").size(), 1);
    EXPECT_TRUE(s.journalOf("Lec_RetraitMhtVitale")[0].startsWith("Lec_RetraitMhtVitale session=7 "));
    ASSERT_EQ(s.journalOf("Lec_FermetureSessionVitale").size(), 1);
    EXPECT_TRUE(s.journalOf("Lec_FermetureSessionVitale")[0].startsWith("Lec_FermetureSessionVitale session=7 "));
  }
}

TEST(CardSession, NoCardInTheReader) {
  CardStation s;  // the installation's rows make the stand-in's "no card" code blocking
  s.goodWorkstation();
  Scenario noCard;
  noCard.cardFile.clear();
  s.scenario(noCard);
  s.run();

  EXPECT_TRUE(s.log().contains(QStringLiteral("\r\nAccès carte Vitale\r\n"
                                              "Retour en erreur : 61441 (code : 61441)\r\n"
                                              "Etat carte : 0 (session : 7)\r\n") +
                               kCardLines + QStringLiteral("\r\n### Traitement des Données\r\n### Génération PDF")))
      << s.cardLog().toStdString();
  EXPECT_EQ(s.t.view.labelText[Label::label_suivi], QStringLiteral("Carte pas/mal insérée !"));
  EXPECT_EQ(s.t.view.icon(Row::Image_etat4), Icon::etat_nok);
  EXPECT_TRUE(s.journalOf("Lec_LectureVitale").isEmpty());
  EXPECT_EQ(s.journalOf("Lec_FermetureSessionVitale").size(), 1);
}

TEST(CardSession, CardAccessIsClassifiedByItsErrorCodeNotItsStatus) {
  // Status 31 is blocking, the error code 0 is not: the card is accessible.
  CardStation s(QStringLiteral("INSERT INTO erreur VALUES ('31','O');"));
  s.goodWorkstation();
  Scenario scenario;
  scenario.returns["Lec_IntroductionMstVitale"] = 31;
  s.scenario(scenario);
  s.run();

  EXPECT_TRUE(
      s.cardLog().contains(QStringLiteral("Retour en erreur : 31 (code : 0)\r\nEtat carte : 1 (session : 7)\r\n"
                                          "Erreur sans impact sur le fonctionnement\r\n"
                                          "La carte est accessible\r\n")))
      << s.cardLog().toStdString();
  EXPECT_EQ(s.t.view.icon(Row::Image_etat4), Icon::etat_ok);
  EXPECT_EQ(s.ppal.appli_xml_ext.size(), 1u);
}

TEST(CardSession, NonBlockingReadStillExtractsTheData) {
  CardStation s;
  s.goodWorkstation();
  Scenario scenario;
  scenario.returns["Lec_LectureVitale"] = 21;  // no erreur row: not blocking
  scenario.errors["Lec_LectureVitale"] = 2;
  s.scenario(scenario);
  s.run();

  EXPECT_TRUE(
      s.cardLog().contains(QStringLiteral("Retour en erreur : 21 (code : 2)\r\nTaille retour : %1 (session : 7)\r\n"
                                          "Erreur sans impact sur le fonctionnement\r\n"
                                          "La données ont été récupérées\r\n"
                                          "Dictionnaire 1: 0(0)\r\n")
                               .arg(fixture(QStringLiteral("carte-utf8.xml")).size())))
      << s.cardLog().toStdString();
  EXPECT_TRUE(s.written(boldGreen(QStringLiteral("La données ont été récupérées\r\n"))));
  EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_ok);
  ASSERT_EQ(s.ppal.appli_xml_ext.size(), 1u);
  EXPECT_EQ(s.ppal.appli_xml_ext[0][2], QStringLiteral("Hélène"));
}

TEST(CardSession, SessionEndAfterAnEarlierFailureUsesTheLastOpenedSession) {
  CardStation s;
  s.goodWorkstation();
  s.run();  // opens session 7
  Scenario noReader;
  noReader.readers.clear();
  noReader.session = 9;
  s.scenario(noReader);
  // The reader is known, so the run starts at the initialisation, which the
  // stand-in refuses without reader ("no reader", blocking).
  s.clearJournal();
  s.run();

  EXPECT_TRUE(s.log().contains(QStringLiteral("Retour en erreur : 61442 (code : 61442)\r\n")));
  EXPECT_TRUE(s.journalOf("Lec_OuvertureSessionVitale").isEmpty());
  ASSERT_EQ(s.journalOf("Lec_RetraitMhtVitale").size(), 1);
  EXPECT_TRUE(s.journalOf("Lec_RetraitMhtVitale")[0].startsWith("Lec_RetraitMhtVitale session=7 "));
}
