// Whole runs on a good workstation: reader, settings and card all agree.
#include <gtest/gtest.h>

#include "support/CardStation.h"

using Icon = View::Icon;
using Row = View::StepRow;

namespace {

QString firstRunCardLog() {
  const QString r = kReader;
  return QStringLiteral(
             "\r\n### Liste Lecteurs"
             "\r\nChoix du lecteur\r\n"
             "Nombre de lecteurs : 1\r\n"
             "Lecteur branché : ") +
         r +
         QStringLiteral(
             "\r\n"
             "\r\n### Initialisation Lecteurs"
             "\r\nInitialisation du lecteur\r\n"
             "Lecteur reconnu : ") +
         r + QStringLiteral("\r\nContenu api_lec : ") + r +
         QStringLiteral(
             "\r\n"
             "Les lecteurs sont identiques\r\n"
             "Lecteur initialisé\r\n"
             "\r\n### Lecteur Vitale"
             "\r\nConnexion au lecteur\r\n"
             "Lecteur disponible\r\n"
             "\r\n### Gestion Vitale"
             "\r\nAccès carte Vitale\r\n"
             "La carte est accessible\r\n"
             "\r\n### Traitement des Données"
             "\r\nExtraction des informations\r\n"
             "La données ont été récupérées\r\n"
             "Dictionnaire 1: 0(0)\r\n"
             "Dictionnaire 2: 0(0)\r\n");
}

}  // namespace

TEST(CardRun, GoodCardWithOneBeneficiary) {
  CardStation s;
  s.goodWorkstation();
  s.run();

  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  EXPECT_EQ(s.cardLog(), firstRunCardLog());
  EXPECT_TRUE(s.written(boldGreen(kReader + QStringLiteral("\r\n"))));
  EXPECT_TRUE(s.written(boldGreen(QStringLiteral("Les lecteurs sont identiques\r\nLecteur initialisé\r\n"))));
  for (Row row : {Row::Image_etat3, Row::Image_etat4, Row::Image_etat5}) EXPECT_EQ(s.t.view.icon(row), Icon::etat_ok);

  EXPECT_EQ(s.ppal.appli_reader_lec, kReader);
  EXPECT_EQ(s.ppal.appli_nom_lecteur, kReader);
  EXPECT_EQ(s.ppal.appli_nom_lecteur_ini, kReader);
  EXPECT_EQ(s.ppal.appli_reader_use, kReader.toLatin1());
  EXPECT_EQ(s.ppal.appli_api_session, 7);

  EXPECT_EQ(s.ppal.carte_numserie, QStringLiteral("0042424242"));
  EXPECT_EQ(s.ppal.appli_xml_cnt2, 1);
  EXPECT_EQ(s.ppal.appli_xml_cnt1, 1);
  ASSERT_EQ(s.ppal.appli_xml_ext.size(), 1u);
  std::vector<QString> expected(60);
  expected[0] = QStringLiteral("LEFÈVRE");
  expected[1] = QStringLiteral("NOËL");
  expected[2] = QStringLiteral("Hélène");
  expected[3] = QStringLiteral("2800375123456 78");
  expected[4] = QStringLiteral("15031980");
  expected[5] = QStringLiteral("1");
  expected[6] = QStringLiteral("01");
  expected[7] = QStringLiteral("751");
  expected[8] = QStringLiteral("0000");
  expected[9] = QStringLiteral("10");
  expected[51] = QStringLiteral("REGIME GENERAL");
  expected[52] = QStringLiteral("CPAM PARIS");
  EXPECT_EQ(s.ppal.appli_xml_ext[0], expected);
  EXPECT_EQ(s.t.view.knownReaders, QStringList{QStringLiteral("PASSE")});

  // The calls and what they were given, in order.
  const QList<QByteArray> expectedCalls = {
      "Lec_ListeLecteurs buffer=null count=0",
      "Lec_ListeLecteurs buffer=given count=1",
      "Lec_InitLecteurs reader=\"Generic Usb Smart Card Reader 0\" reader_again=\"Generic Usb Smart Card Reader 0\"",
      "Lec_OuvertureSessionVitale application=\"velna\"",
      "Lec_IntroductionMstVitale session=7",
      "Lec_LectureVitale session=7 size=102400",
      "Lec_Dictionnaire table=1 code=\"01\" zeros=\"00000000\" size=128",
      "Lec_Dictionnaire table=2 code=\"017510000\" zeros=\"00000000\" size=128",
      "Lec_RetraitMhtVitale session=7",
      "Lec_FermetureSessionVitale session=7",
  };
  const QList<QByteArray> journal = s.journal();
  ASSERT_EQ(journal.size(), expectedCalls.size());
  for (qsizetype i = 0; i < journal.size(); ++i)
    EXPECT_TRUE(journal[i].startsWith(expectedCalls[i] + " -> ")) << journal[i].toStdString();
}

TEST(CardRun, ThreeBeneficiariesGiveOneFullRowAndTwoShortOnes) {
  CardStation s;
  s.goodWorkstation(fixture(QStringLiteral("carte-trois-benef.xml")));
  s.run();

  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  EXPECT_EQ(s.ppal.appli_xml_cnt2, 3);
  EXPECT_EQ(s.ppal.appli_xml_cnt1, 3);
  const auto& rows = s.ppal.appli_xml_ext;
  ASSERT_EQ(rows.size(), 3u);
  ASSERT_EQ(rows[0].size(), 60u);
  // The scheme comes from the first beneficiary only, though the second has one too.
  EXPECT_EQ((std::vector<QString>(rows[0].begin() + 6, rows[0].begin() + 10)),
            (std::vector<QString>{QStringLiteral("02"), QStringLiteral("123"), QStringLiteral("4567"),
                                  QStringLiteral("10")}));
  EXPECT_EQ(rows[1], (std::vector<QString>{QStringLiteral("MARTIN"), QString(), QStringLiteral("Jules"),
                                           QStringLiteral("2800375123456 78"), QStringLiteral("03042005"),
                                           QStringLiteral("2")}));
  EXPECT_EQ(rows[2], (std::vector<QString>{QStringLiteral("MARTIN"), QStringLiteral("MARTIN"), QStringLiteral("Lucie"),
                                           QStringLiteral("2800375123456 78"), QStringLiteral("05062008"),
                                           QStringLiteral("3")}));
  EXPECT_EQ(s.t.view.knownReaders.count(QStringLiteral("PASSE")), 3);
  // Two lookups in all; the second one's code is the three codes joined, in order.
  const QList<QByteArray> lookups = s.journalOf("Lec_Dictionnaire");
  ASSERT_EQ(lookups.size(), 2);
  EXPECT_TRUE(lookups[0].startsWith("Lec_Dictionnaire table=1 code=\"02\" "));
  EXPECT_TRUE(lookups[1].startsWith("Lec_Dictionnaire table=2 code=\"021234567\" "));
  // Unknown to the scenario's dictionary: the stand-in's "unknown code", empty labels.
  EXPECT_TRUE(s.log().contains(QStringLiteral("Dictionnaire 1: 61443(61443)\r\nDictionnaire 2: 61443(61443)\r\n")));
  EXPECT_EQ(rows[0][51], QString());
  EXPECT_EQ(rows[0][52], QString());
}

TEST(CardRun, LaterRunsSkipTheListingAndKeepTheReaderFromTheFirst) {
  CardStation s;
  s.goodWorkstation();
  s.run();
  s.clearJournal();
  s.run();

  ASSERT_FALSE(s.ppal.lastUnhandledError());
  EXPECT_TRUE(s.cardLog().startsWith(QStringLiteral("\r\n### Liste Lecteurs\r\n### Initialisation Lecteurs\r\n")));
  EXPECT_TRUE(s.journalOf("Lec_ListeLecteurs").isEmpty());
  EXPECT_EQ(s.journalOf("Lec_InitLecteurs").size(), 1);
  EXPECT_EQ(s.t.view.icon(Row::Image_etat3), Icon::etat_ok);
  EXPECT_EQ(s.ppal.appli_xml_ext.size(), 1u);
}

TEST(CardRun, SessionEndUsesTheSessionOpenedInThisRun) {
  CardStation s;
  s.goodWorkstation();
  Scenario scenario;
  scenario.session = 4242;
  s.scenario(scenario);
  s.run();

  const QList<QByteArray> removal = s.journalOf("Lec_RetraitMhtVitale");
  const QList<QByteArray> closing = s.journalOf("Lec_FermetureSessionVitale");
  ASSERT_EQ(removal.size(), 1);
  ASSERT_EQ(closing.size(), 1);
  EXPECT_TRUE(removal[0].startsWith("Lec_RetraitMhtVitale session=4242 "));
  EXPECT_TRUE(closing[0].startsWith("Lec_FermetureSessionVitale session=4242 "));
  // The removal comes before the closing, and both are the last calls.
  EXPECT_EQ(s.journal().mid(s.journal().size() - 2), (QList<QByteArray>{removal[0], closing[0]}));
}
