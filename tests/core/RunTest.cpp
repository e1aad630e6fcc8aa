// The run: section headings, the step contract, flags, icons and labels.
#include <gtest/gtest.h>

#include "support/TestPlatform.h"

using Icon = View::Icon;
using Row = View::StepRow;
using Label = View::Label;

namespace {

class ContractProbe : public Tppal {
 public:
  using Tppal::runStep;
  using Tppal::StepDef;
  using Tppal::Tppal;
};

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { ppal.FormCreate(); }
  TestPlatform t{Demo{}};
  ContractProbe ppal{t.services()};
};

const QStringList kHeadings = {
    QStringLiteral("\r\n### Fichiers"),
    QStringLiteral("\r\n### Mise à Jour"),
    QStringLiteral("\r\n### Liste Lecteurs"),
    QStringLiteral("\r\n### Initialisation Lecteurs"),
    QStringLiteral("\r\n### Lecteur Vitale"),
    QStringLiteral("\r\n### Gestion Vitale"),
    QStringLiteral("\r\n### Traitement des Données"),
    QStringLiteral("\r\n### Génération PDF"),
};

std::vector<Icon> rowIcons(const RecordingView& v) {
  std::vector<Icon> icons;
  for (Row r :
       {Row::Image_etat1, Row::Image_etat2b, Row::Image_etat3, Row::Image_etat4, Row::Image_etat5, Row::Image_etat6})
    icons.push_back(v.icon(r));
  return icons;
}

}  // namespace

TEST_F(RunTest, StartsIdleOnTheHomePage) {
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_carte);
  EXPECT_EQ(t.view.labelText[Label::label_suivi], QStringLiteral("Attente du lancement..."));
  EXPECT_EQ(t.view.labelText[Label::label_suivi2], QStringLiteral("Attente du lancement..."));
  EXPECT_EQ(t.view.labelColor[Label::label_suivi], colors::black);
  EXPECT_EQ(t.view.labelText[Label::label_update2], QStringLiteral("Contrôle en cours..."));
  EXPECT_EQ(rowIcons(t.view), std::vector<Icon>(6, Icon::etat_attente));
}

TEST_F(RunTest, SuccessfulRunWritesEveryHeadingAndEndsOnTheCertificatePage) {
  ppal.action_vitale2Click();

  EXPECT_FALSE(ppal.lastUnhandledError());
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_pdf);
  EXPECT_TRUE(t.view.isButtonVisible(View::Button::btn_diagnostique));
  EXPECT_EQ(rowIcons(t.view), std::vector<Icon>(6, Icon::etat_ok));
  EXPECT_EQ(t.view.labelText[Label::label_suivi2], QStringLiteral("Traitement en cours"));
  EXPECT_EQ(t.view.labelText[Label::label_suivi], QStringLiteral("Génération du PDF"));

  // Headings in order, each a bold blue run of its own.
  const auto& runs = ppal.debugLog().runs();
  qsizetype from = 0;
  for (const QString& heading : kHeadings) {
    const auto it = std::find_if(runs.begin(), runs.end(), [&](const TextRun& r) { return r.text == heading; });
    ASSERT_NE(it, runs.end()) << heading.toStdString();
    EXPECT_EQ(it->style, unsigned(fsBold));
    EXPECT_EQ(it->color, colors::blue);
    const qsizetype at = ppal.debugLog().plainText().indexOf(heading, from);
    EXPECT_GE(at, from) << heading.toStdString();
    from = at;
  }
  // Step sub-headings are bold underlined black.
  const auto sub = std::find_if(runs.begin(), runs.end(), [](const TextRun& r) {
    return r.text == QStringLiteral("\r\nContrôle des fichiers\r\n");
  });
  ASSERT_NE(sub, runs.end());
  EXPECT_EQ(sub->style, unsigned(fsBold | fsUnderline));
  EXPECT_EQ(sub->color, colors::black);
  // The view mirrors the model.
  EXPECT_EQ(t.view.log(), ppal.debugLog().plainText());
}

TEST_F(RunTest, ReaderListRowIsSkippedOnceAReaderIsKnown) {
  ppal.action_vitale2Click();
  EXPECT_EQ(ppal.appli_reader_lec, QStringLiteral("Generic Usb Smart Card Reader 0"));
  ppal.action_vitale2Click();
  const QString log = ppal.debugLog().plainText();
  EXPECT_TRUE(log.contains(QStringLiteral("\r\n### Liste Lecteurs\r\n### Initialisation Lecteurs")));
  EXPECT_FALSE(log.contains(QStringLiteral("Choix du lecteur")));
}

TEST_F(RunTest, FirstFailureSetsFlagsLabelsAndEveryLaterRowFails) {
  t.view.iconCalls.clear();
  const auto step = [](Row row, const char16_t* sub, const char16_t* failure) {
    return ContractProbe::StepDef{row, QString::fromUtf16(sub), QStringLiteral("en cours"),
                                  QString::fromUtf16(failure)};
  };
  bool laterWorkRan = false;
  ppal.runStep(step(Row::Image_etat1, u"\r\nA\r\n", u"Fichier(s) manquant(s) !"), [] {});
  ppal.runStep(step(Row::Image_etat3, u"\r\nB\r\n", u"Lecteur ne répond pas !"),
               [&] { ppal.appli_check_continue = 1; });
  ppal.runStep(step(Row::Image_etat4, u"\r\nC\r\n", u"Carte pas/mal insérée !"), [&] { laterWorkRan = true; });

  EXPECT_FALSE(laterWorkRan);
  EXPECT_EQ(ppal.appli_check_continue, 1);
  EXPECT_EQ(ppal.appli_check_continue2, 1);
  EXPECT_EQ(t.view.labelText[Label::label_suivi], QStringLiteral("Lecteur ne répond pas !"));
  EXPECT_EQ(t.view.labelColor[Label::label_suivi], colors::maroon);
  EXPECT_EQ(t.view.labelText[Label::label_suivi2], QStringLiteral("Consulter le diagnostic pour plus d'informations"));
  EXPECT_EQ(t.view.labelColor[Label::label_suivi2], colors::maroon);
  EXPECT_EQ(t.view.icon(Row::Image_etat1), Icon::etat_ok);
  EXPECT_EQ(t.view.icon(Row::Image_etat3), Icon::etat_nok);
  EXPECT_EQ(t.view.icon(Row::Image_etat4), Icon::etat_nok);
  // No sub-heading after the failing step's.
  const QString log = ppal.debugLog().plainText();
  EXPECT_TRUE(log.contains(QStringLiteral("\r\nB\r\n")));
  EXPECT_FALSE(log.contains(QStringLiteral("\r\nC\r\n")));
  // Every icon change clears the picture first.
  const std::vector<std::pair<Row, Icon>> expected = {
      {Row::Image_etat1, Icon::None}, {Row::Image_etat1, Icon::etat_en_cours},
      {Row::Image_etat1, Icon::None}, {Row::Image_etat1, Icon::etat_ok},
      {Row::Image_etat3, Icon::None}, {Row::Image_etat3, Icon::etat_en_cours},
      {Row::Image_etat3, Icon::None}, {Row::Image_etat3, Icon::etat_nok},
      {Row::Image_etat4, Icon::None}, {Row::Image_etat4, Icon::etat_en_cours},
      {Row::Image_etat4, Icon::None}, {Row::Image_etat4, Icon::etat_nok},
  };
  EXPECT_EQ(t.view.iconCalls, expected);

  // The next run starts clean.
  ppal.action_vitale2Click();
  EXPECT_EQ(ppal.appli_check_continue, 0);
  EXPECT_EQ(t.view.labelColor[Label::label_suivi], colors::black);
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_pdf);
}

TEST_F(RunTest, UnhandledErrorInAStepShowsTheErrorBoxAndKeepsTheRowRunning) {
  ppal.guarded([&] {
    ppal.runStep({Row::Image_etat5, QStringLiteral("\r\nX\r\n"), QStringLiteral("x"), QStringLiteral("y")},
                 [] { throw std::runtime_error("Erreur de lecture"); });
  });
  ASSERT_EQ(t.view.messages.size(), 1u);
  EXPECT_EQ(t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(t.view.messages[0].text, QStringLiteral("Erreur de lecture"));
  EXPECT_EQ(t.view.messages[0].icon, View::MessageIcon::Error);
  EXPECT_TRUE(t.view.messages[0].wait);
  EXPECT_EQ(t.view.icon(Row::Image_etat5), Icon::etat_en_cours);
  ASSERT_TRUE(ppal.lastUnhandledError());
}

TEST_F(RunTest, HeaderFailureEndsTheRunBeforeAnyStep) {
  t.wmi.failing = true;
  ppal.action_vitale2Click();
  ASSERT_EQ(t.view.messages.size(), 1u);
  EXPECT_EQ(t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_launch);
  EXPECT_TRUE(ppal.debugLog().plainText().endsWith(QStringLiteral("Version Windows : ")));
  EXPECT_EQ(rowIcons(t.view), std::vector<Icon>(6, Icon::etat_attente));
}

// The run pumps window messages, so the user can click the card picture or
// " Mise à Jour" again while it waits: those clicks start nothing, and the
// run ends whole, its certificate written once.
TEST(RunGuard, ClicksDuringARunStartNothingAndTheRunEndsWhole) {
  TestPlatform t{Demo{}};
  Tppal ppal(t.services());
  ppal.FormCreate();
  int nestedClicks = 0;
  t.view.onPump = [&] {
    if (nestedClicks > 0 || t.view.icon(View::StepRow::Image_etat2b) != Icon::etat_en_cours) return;
    ++nestedClicks;
    ppal.action_vitale2Click();
    ppal.btn_updateClick();
  };

  ppal.action_vitale2Click();

  EXPECT_EQ(nestedClicks, 1);
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_pdf);
  for (const Row row :
       {Row::Image_etat1, Row::Image_etat2b, Row::Image_etat3, Row::Image_etat4, Row::Image_etat5, Row::Image_etat6})
    EXPECT_EQ(t.view.icon(row), Icon::etat_ok);
  EXPECT_EQ(t.http.posts.size(), 1);
  EXPECT_EQ(t.view.log().count(QStringLiteral("Diagnostic pour Velnara")), 1) << t.view.log().toStdString();
  EXPECT_EQ(t.view.log().count(QStringLiteral("### Génération PDF")), 1);
  EXPECT_FALSE(ppal.lastUnhandledError());

  // Once the run has ended, the next click runs again.
  t.view.onPump = nullptr;
  ppal.action_vitale2Click();
  EXPECT_EQ(t.view.log().count(QStringLiteral("Diagnostic pour Velnara")), 1);
  EXPECT_EQ(t.view.currentPage(), View::Page::tab_pdf);
}
