// The card data as the library returns it, turned into rows of slots.
#include <gtest/gtest.h>

#include "support/CardStation.h"

using Icon = View::Icon;
using Row = View::StepRow;

namespace {

// A card with one beneficiary whose parts the cases change.
QByteArray cardWith(const QByteArray& ident, const QByteArray& amo) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<T_AsnDonneesVitale><tech><numSerie>42</numSerie></tech>"
         "<listeBenef><T_AsnBeneficiaire><ident>" +
         ident + "</ident>" + amo + "</T_AsnBeneficiaire></listeBenef></T_AsnDonneesVitale>\n";
}

const QByteArray kIdent =
    "<nomUsuel>DUPONT</nomUsuel><nomPatronymique>DURAND</nomPatronymique><prenomUsuel>Paul</prenomUsuel>"
    "<nir>1800175123456</nir><naissance><date>01011980</date></naissance><rangDeNaissance>1</rangDeNaissance>";
const QByteArray kAmo =
    "<amo><codeRegime>01</codeRegime><caisse>751</caisse><centreCarte>0000</centreCarte>"
    "<codeGestion>10</codeGestion></amo>";

std::vector<QString> rowSlots(const Tppal& ppal, size_t row) {
  return row < ppal.appli_xml_ext.size() ? ppal.appli_xml_ext[row] : std::vector<QString>();
}

}  // namespace

TEST(Extraction, Latin1AndUtf8CardsGiveTheSameSlots) {
  CardStation latin1, utf8;
  latin1.goodWorkstation(fixture(QStringLiteral("carte-iso-8859-1.xml")));
  utf8.goodWorkstation(fixture(QStringLiteral("carte-utf8.xml")));
  latin1.run();
  utf8.run();

  ASSERT_EQ(latin1.ppal.appli_xml_ext.size(), 1u);
  EXPECT_EQ(latin1.ppal.appli_xml_ext, utf8.ppal.appli_xml_ext);
  EXPECT_EQ(latin1.ppal.carte_numserie, utf8.ppal.carte_numserie);
  EXPECT_EQ(rowSlots(latin1.ppal, 0)[0], QStringLiteral("LEFÈVRE"));
  EXPECT_EQ(rowSlots(latin1.ppal, 0)[2], QStringLiteral("Hélène"));
}

TEST(Extraction, MissingElementsLeaveTheirSlotsEmpty) {
  struct Case {
    const char* name;
    QByteArray xml;
    std::vector<QString> firstSlots;   // slots 0 to 9
    QByteArray firstCode, secondCode;  // codes given to the dictionary
  };
  const QString d = QStringLiteral("DUPONT"), p = QStringLiteral("Paul"), n = QStringLiteral("1800175123456"),
                b = QStringLiteral("01011980"), one = QStringLiteral("1");
  const Case cases[] = {
      {"no nomPatronymique",
       cardWith(QByteArray(kIdent).replace("<nomPatronymique>DURAND</nomPatronymique>", ""), kAmo),
       {d, {}, p, n, b, one, QStringLiteral("01"), QStringLiteral("751"), QStringLiteral("0000"), QStringLiteral("10")},
       "01",
       "017510000"},
      {"no amo", cardWith(kIdent, ""), {d, QStringLiteral("DURAND"), p, n, b, one, {}, {}, {}, {}}, "", ""},
      {"no caisse",
       cardWith(kIdent, QByteArray(kAmo).replace("<caisse>751</caisse>", "")),
       {d,
        QStringLiteral("DURAND"),
        p,
        n,
        b,
        one,
        QStringLiteral("01"),
        {},
        QStringLiteral("0000"),
        QStringLiteral("10")},
       "01",
       "010000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s;
    s.goodWorkstation(c.xml);
    s.run();
    ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
    const std::vector<QString> row = rowSlots(s.ppal, 0);
    ASSERT_EQ(row.size(), 60u);
    EXPECT_EQ(std::vector<QString>(row.begin(), row.begin() + 10), c.firstSlots);
    const QList<QByteArray> lookups = s.journalOf("Lec_Dictionnaire");
    ASSERT_EQ(lookups.size(), 2);
    EXPECT_TRUE(lookups[0].startsWith("Lec_Dictionnaire table=1 code=\"" + c.firstCode + "\" "))
        << lookups[0].toStdString();
    EXPECT_TRUE(lookups[1].startsWith("Lec_Dictionnaire table=2 code=\"" + c.secondCode + "\" "))
        << lookups[1].toStdString();
    // Every other slot stays empty.
    for (size_t i = 10; i < row.size(); ++i) {
      if (i == 51 || i == 52) continue;
      EXPECT_TRUE(row[i].isEmpty()) << i;
    }
  }
}

TEST(Extraction, LabelsComeFromTheLibraryInItsCodePage) {
  CardStation s;
  s.goodWorkstation();
  Scenario scenario;
  scenario.table1 = {{"01", "R\xc9GIME G\xc9N\xc9RAL"}};
  scenario.table2 = {{"017510000", "CPAM \x80 Paris"}};
  s.scenario(scenario);
  s.run();
  EXPECT_EQ(rowSlots(s.ppal, 0).at(51), QStringLiteral("RÉGIME GÉNÉRAL"));
  EXPECT_EQ(rowSlots(s.ppal, 0).at(52), QStringLiteral("CPAM € Paris"));
}

TEST(Extraction, BytesAfterTheFirstNulAreIgnored) {
  CardStation s;
  s.goodWorkstation(fixture(QStringLiteral("carte-utf8.xml")) + QByteArray(1, '\0') + "<trailing>not xml");
  s.run();
  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  EXPECT_EQ(rowSlots(s.ppal, 0).at(0), QStringLiteral("LEFÈVRE"));
  EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_ok);
}

TEST(Extraction, UnreadableCardDataEndsTheRunWithoutEndingTheSession) {
  struct Case {
    const char* name;
    QByteArray xml;
    int passes;  // "PASSE" lines appended before the failure
  };
  const Case cases[] = {
      {"empty buffer", QByteArray(), 0},
      {"first byte NUL", QByteArray(1, '\0') + "<T_AsnDonneesVitale/>", 0},
      {"not well formed", "<T_AsnDonneesVitale><listeBenef>", 0},
      {"wrong root", "<AutreRacine><listeBenef><b><ident/></b></listeBenef></AutreRacine>", 0},
      {"element with children read for its text",
       cardWith(QByteArray(kIdent).replace("<nomUsuel>DUPONT</nomUsuel>", "<nomUsuel><x>DU</x>PONT</nomUsuel>"), kAmo),
       1},
      {"serial number with children", "<T_AsnDonneesVitale><tech><numSerie><a/></numSerie></tech></T_AsnDonneesVitale>",
       0},
      {"empty listeBenef",
       "<T_AsnDonneesVitale><tech><numSerie>1</numSerie></tech><listeBenef>\n  </listeBenef>"
       "</T_AsnDonneesVitale>",
       1},
      {"no listeBenef", "<T_AsnDonneesVitale><tech><numSerie>1</numSerie></tech></T_AsnDonneesVitale>", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardStation s;
    s.goodWorkstation(c.xml);
    s.run();

    ASSERT_EQ(s.t.view.messages.size(), 1u);
    EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Velnara"));
    EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Error);
    EXPECT_FALSE(s.t.view.messages[0].text.isEmpty());
    EXPECT_EQ(s.t.view.icon(Row::Image_etat5), Icon::etat_en_cours);
    EXPECT_EQ(s.t.view.icon(Row::Image_etat6), Icon::etat_attente);
    EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_launch);
    EXPECT_EQ(s.t.view.knownReaders.size(), c.passes);
    EXPECT_TRUE(s.journalOf("Lec_RetraitMhtVitale").isEmpty());
    EXPECT_TRUE(s.journalOf("Lec_FermetureSessionVitale").isEmpty());
  }
}

TEST(Extraction, AnEmptyListReplacesThePreviousCardsRows) {
  CardStation s;
  s.goodWorkstation();
  s.run();
  ASSERT_EQ(s.ppal.appli_xml_ext.size(), 1u);
  s.card("<T_AsnDonneesVitale><tech><numSerie>2</numSerie></tech><listeBenef/></T_AsnDonneesVitale>");
  s.run();
  ASSERT_TRUE(s.ppal.lastUnhandledError());
  EXPECT_EQ(s.ppal.appli_xml_cnt2, 0);
  EXPECT_TRUE(s.ppal.appli_xml_ext.empty());
  EXPECT_EQ(s.ppal.carte_numserie, QStringLiteral("2"));
}

TEST(Extraction, PasseLinesAccumulateAcrossRuns) {
  CardStation s;
  s.goodWorkstation(fixture(QStringLiteral("carte-trois-benef.xml")));
  for (int run = 0; run < 3; ++run) s.run();
  EXPECT_EQ(s.t.view.knownReaders, QStringList(9, QStringLiteral("PASSE")));
}

TEST(Extraction, EachLookupWritesItsOwnLogLine) {
  CardStation s;
  s.goodWorkstation();
  s.run();
  s.ppal.app_dico_table = -3;
  s.ppal.app_dico_code = "inconnu";
  s.ppal.dictionnaire_lec();
  EXPECT_TRUE(s.log().endsWith(QStringLiteral("Dictionnaire -3: 61443(61443)\r\n"))) << s.log().toStdString();
  EXPECT_TRUE(s.ppal.app_dico_texte_retour.isEmpty());
  EXPECT_TRUE(s.written(plainBlack(QStringLiteral("Dictionnaire 2: 0(0)\r\n"))));
}
