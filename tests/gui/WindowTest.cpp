// The main window as the user meets it: its frame, toolbar and pages, and
// what each toolbar button shows.
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include "GuiFixture.h"

namespace {

TEST_F(GuiTest, WindowIsFixedAtItsSizeWithoutMaximiseBox) {
  EXPECT_EQ(window.size(), QSize(617, 476));
  EXPECT_EQ(window.minimumSize(), QSize(617, 476));
  EXPECT_EQ(window.maximumSize(), QSize(617, 476));
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(window.windowTitle(), QStringLiteral(" Velnara"));
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(GuiTest, StartsOnTheHomePageWithTheStartToolbar) {
  EXPECT_EQ(pageShown(), QStringLiteral("tab_carte"));
  EXPECT_EQ(window.currentPage(), View::Page::tab_carte);
  for (const char* shown : {"btn_vitale", "btn_config", "btn_update", "btn_about", "btn_quit"})
    EXPECT_TRUE(widget(QString::fromLatin1(shown))->isVisible()) << shown;
  for (const char* hidden : {"btn_diagnostique", "btn_update_go", "clProgressBarDC1", "txt_suivi_download"})
    EXPECT_TRUE(widget(QString::fromLatin1(hidden))->isHidden()) << hidden;
  EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
  EXPECT_TRUE(widget<QLabel>(QStringLiteral("StatusBar1_panel0"))->text().startsWith(QStringLiteral("Version 1.09 (")));
}

TEST_F(GuiTest, NoTabHeaderCanEverShow) {
  // The page set is a stack of pages: it has no headers to show or click.
  EXPECT_NE(window.findChild<QStackedWidget*>(QStringLiteral("tab_master")), nullptr);
  EXPECT_TRUE(window.findChildren<QTabWidget*>().isEmpty());
  EXPECT_TRUE(window.findChildren<QTabBar*>().isEmpty());
}

struct ToolbarCase {
  const char* button;
  const char* page;
};

class ToolbarPageTest : public GuiTest, public ::testing::WithParamInterface<ToolbarCase> {};

TEST_P(ToolbarPageTest, ShowsExactlyItsPage) {
  const ToolbarCase c = GetParam();
  // Start from a page none of the buttons leads to.
  window.showPage(View::Page::tab_launch);
  window.setButtonVisible(View::Button::btn_diagnostique, true);
  click(QString::fromLatin1(c.button));
  EXPECT_EQ(pageShown(), QString::fromLatin1(c.page));
  const auto* pages = window.findChild<QStackedWidget*>(QStringLiteral("tab_master"));
  int visiblePages = 0;
  for (int i = 0; i < pages->count(); ++i) visiblePages += pages->widget(i)->isVisible() ? 1 : 0;
  EXPECT_EQ(visiblePages, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EachButton, ToolbarPageTest,
    ::testing::Values(ToolbarCase{"btn_vitale", "tab_carte"}, ToolbarCase{"btn_diagnostique", "tab_debug"},
                      ToolbarCase{"btn_config", "tab_config"}, ToolbarCase{"btn_update", "tab_update"},
                      ToolbarCase{"btn_about", "tab_about"}),
    [](const ::testing::TestParamInfo<ToolbarCase>& instance) { return std::string(instance.param.button); });

TEST_F(GuiTest, DiagnosticButtonFollowsRunsUpdatesAndHome) {
  QWidget* diagnostic = widget(QStringLiteral("btn_diagnostique"));
  EXPECT_TRUE(diagnostic->isHidden());
  runOnce();
  EXPECT_TRUE(diagnostic->isVisible());
  EXPECT_NE(pageShown(), QStringLiteral("tab_carte"));
  click(QStringLiteral("btn_vitale"));
  EXPECT_TRUE(diagnostic->isHidden());
  EXPECT_EQ(pageShown(), QStringLiteral("tab_carte"));
  click(QStringLiteral("btn_update"));
  EXPECT_TRUE(diagnostic->isVisible());
  click(QStringLiteral("btn_vitale"));
  EXPECT_TRUE(diagnostic->isHidden());
}

TEST_F(GuiTest, RunWritesTheLogThatTheDiagnosticPageShows) {
  runOnce();
  click(QStringLiteral("btn_diagnostique"));
  EXPECT_EQ(pageShown(), QStringLiteral("tab_debug"));
  auto* log = widget<QTextEdit>(QStringLiteral("debug_texte"));
  EXPECT_TRUE(log->toPlainText().startsWith(QStringLiteral("Diagnostic pour Velnara\n")));
  EXPECT_TRUE(log->toPlainText().contains(QStringLiteral("### Génération PDF")));
  // Shown scrolled to its end, caret last.
  EXPECT_EQ(log->textCursor().position(), log->document()->characterCount() - 1);
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()));
}

struct Place {
  const char* name;
  QRect geometry;
  const char* text;  // nullptr: not a text widget
};

// Positions are in pixels from the window's client area (toolbar) or from
// the page's corner (everything on a page).
const Place places[] = {
    {"btn_vitale", {12, 8, 95, 30}, " Accueil"},
    {"btn_diagnostique", {113, 8, 94, 30}, " Diagnostic"},
    {"btn_config", {213, 8, 94, 30}, " Gestion"},
    {"btn_update", {312, 8, 95, 30}, " Mise à Jour"},
    {"btn_about", {413, 8, 95, 30}, " A Propos"},
    {"btn_quit", {514, 8, 95, 30}, " Quitter"},
    {"frame_master", {8, 58, 601, 396}, nullptr},
    {"tab_master", {15, 66, 585, 380}, nullptr},
    {"StatusBar1", {0, 457, 617, 19}, nullptr},
    {"lbl_carte1", {108, 22, 361, 29}, "Génération d'une attestation"},
    {"lbl_carte2", {72, 54, 433, 29}, "Insérez la carte Vitale puis cliquez sur l'icône ci-dessous"},
    {"action_vitale2", {207, 85, 163, 103}, nullptr},
    {"label_suivi", {48, 22, 481, 29}, "Attente du lancement..."},
    {"label_suivi2", {72, 54, 433, 29}, "Attente du lancement..."},
    {"Image_etat1", {74, 102, 24, 24}, nullptr},
    {"Image_etat2b", {74, 182, 24, 24}, nullptr},
    {"Image_etat3", {339, 102, 24, 24}, nullptr},
    {"Image_etat4", {339, 142, 24, 24}, nullptr},
    {"Image_etat5", {339, 182, 24, 24}, nullptr},
    {"Image_etat6", {217, 222, 24, 24}, nullptr},
    {"label_etat1", {114, 102, 200, 24}, "Contrôle des fichiers"},
    {"label_etat2b", {114, 182, 200, 24}, "Contrôle Mise à Jour"},
    {"label_etat3", {379, 102, 200, 24}, "Initialisation du lecteur"},
    {"label_etat4", {379, 142, 200, 24}, "Contrôle carte Vitale"},
    {"label_etat5", {379, 182, 200, 24}, "Récupération informations"},
    {"label_etat6", {257, 222, 200, 24}, "Génération du PDF"},
    {"legende_0_texte", {33, 320, 96, 14}, "En attente"},
    {"legende_1_texte", {142, 320, 96, 14}, "En cours"},
    {"legende_4_texte", {242, 320, 96, 14}, "Etape non testée"},
    {"legende_2_texte", {376, 320, 96, 14}, "Etape validée"},
    {"legende_3_texte", {488, 320, 96, 14}, "Etape en échec"},
    {"debug_texte", {0, 0, 577, 305}, nullptr},
    {"btn_sauve_fichier", {218, 311, 141, 35}, " Sauver Fichier"},
    {"label_update1", {108, 22, 361, 29}, "Mise à jour de l'application"},
    {"label_update2", {72, 54, 433, 29}, "Contrôle en cours..."},
    {"btn_update_go", {142, 100, 299, 37}, " Cliquez ici pour télécharger la mise à jour"},
    {"clProgressBarDC1", {40, 170, 497, 16}, nullptr},
    {"txt_suivi_download", {40, 192, 497, 21}, nullptr},
    {"Memo1", {40, 240, 497, 41}, nullptr},
    {"Label_pdf1", {116, 22, 361, 29}, "Génération d'une attestation"},
    {"Label_pdf2", {80, 54, 433, 29}, "Obtenez l'attestation en cliquant sur l'icône ci-dessous"},
    {"image_pdf", {224, 111, 128, 128}, nullptr},
    {"lbl_about1", {108, 22, 361, 29}, "A Propos"},
    {"lbl_about2", {72, 54, 433, 29}, "Retrouvez ci-dessous les informations de cette application"},
    {"about_texte", {3, 89, 571, 201}, nullptr},
    {"lbl_link3", {40, 327, 119, 19}, "Logiciel lecture Vitale"},
    {"lbl_link2", {416, 327, 108, 19}, "Support à Distance"},
    {"lbl_gestion1", {108, 22, 361, 29}, "Gestion du lecteur"},
    {"lbl_gestion2",
     {72, 54, 433, 43},
     "Cet espace permet de modifier le lecteur vitale à utiliser, ne faites une modification que sur "
     "demande du support technique"},
    {"lbl_gestion_1", {16, 104, 433, 28}, "Lecteur actuellement configuré :"},
    {"Edit_gestion_1", {16, 122, 561, 21}, nullptr},
    {"lbl_gestion_2", {16, 152, 433, 28}, "Lecteur à forcer :"},
    {"edit_gestion_2", {16, 170, 561, 21}, nullptr},
    {"lbl_gestion_3", {16, 200, 433, 28}, "Lecteurs habituellements utilisés :"},
    {"memo_gestion_3", {16, 215, 561, 79}, nullptr},
    {"btn_gestion_4", {228, 309, 137, 35}, " Modifier le lecteur"},
};

QString textOf(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
  return QString();
}

TEST_F(GuiTest, EveryWidgetSitsAtItsPlaceWithItsText) {
  for (const Place& place : places) {
    const QString name = QString::fromLatin1(place.name);
    const QWidget* w = widget(name);
    if (w == nullptr) continue;
    EXPECT_EQ(w->geometry(), place.geometry) << place.name;
    if (place.text != nullptr) {
      EXPECT_EQ(textOf(w), QString::fromUtf8(place.text)) << place.name;
    }
  }
}

TEST_F(GuiTest, ButtonsAreFlatWithPicturesAndHandCursor) {
  for (const char* name : {"btn_vitale", "btn_diagnostique", "btn_config", "btn_update", "btn_about", "btn_quit",
                           "btn_sauve_fichier", "btn_gestion_4"}) {
    const auto* button = widget<QPushButton>(QString::fromLatin1(name));
    EXPECT_TRUE(button->isFlat()) << name;
    EXPECT_FALSE(button->icon().isNull()) << name;
    EXPECT_EQ(button->iconSize(), QSize(24, 24)) << name;
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor) << name;
  }
  const auto* download = widget<QPushButton>(QStringLiteral("btn_update_go"));
  EXPECT_FALSE(download->isFlat());
  EXPECT_FALSE(download->icon().isNull());
  for (const char* clickable : {"action_vitale2", "image_pdf", "lbl_link3", "lbl_link2"})
    EXPECT_EQ(widget(QString::fromLatin1(clickable))->cursor().shape(), Qt::PointingHandCursor) << clickable;
}

struct FontCase {
  const char* widget;
  int pixelSize;
  bool bold;
};

TEST_F(GuiTest, TextsAreInTahomaAtTheirSizes) {
  // 8 pt is 11 pixels, 11 pt 15 pixels and 18 pt 24 pixels at 96 dpi.
  const FontCase cases[] = {
      {"btn_vitale", 11, false},        {"lbl_carte1", 24, true},      {"lbl_carte2", 15, false},
      {"label_suivi", 24, true},        {"label_suivi2", 15, false},   {"label_etat1", 11, false},
      {"legende_0_texte", 11, false},   {"debug_texte", 11, false},    {"Label_pdf1", 24, true},
      {"Label_pdf2", 15, false},        {"lbl_link3", 12, false},      {"lbl_gestion_1", 13, false},
      {"Edit_gestion_1", 11, false},    {"memo_gestion_3", 11, false}, {"Memo1", 11, false},
      {"StatusBar1_panel0", 11, false},
  };
  for (const FontCase& c : cases) {
    const QWidget* w = widget(QString::fromLatin1(c.widget));
    if (w == nullptr) continue;
    const QFontInfo info(w->font());
    EXPECT_EQ(info.family(), QStringLiteral("Tahoma")) << c.widget;
    EXPECT_EQ(info.pixelSize(), c.pixelSize) << c.widget;
    EXPECT_EQ(info.bold(), c.bold) << c.widget;
  }
  EXPECT_TRUE(QFontInfo(widget(QStringLiteral("Memo1"))->font()).italic());
}

TEST_F(GuiTest, KnownReadersAndEditBoxes) {
  const auto* memo = widget<QPlainTextEdit>(QStringLiteral("memo_gestion_3"));
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(
      memo->toPlainText().split(QLatin1Char('\n')),
      QStringList(
          {QStringLiteral("SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0"),
           QStringLiteral("SCM Microsystems Inc. SCR35xx USB Smart Card Reader 0"),
           QStringLiteral("Generic EMV Smartcard Reader 0"), QStringLiteral("OMNIKEY AG Smart Card Reader USB 0"),
           QStringLiteral("Generic Usb Smart Card Reader 0"), QStringLiteral("Ingenico 25024371 TL TELIUM 2 0")}));
  window.appendKnownReader(QStringLiteral("PASSE"));
  EXPECT_TRUE(memo->toPlainText().endsWith(QStringLiteral("TELIUM 2 0\nPASSE")));

  const auto* configured = widget<QLineEdit>(QStringLiteral("Edit_gestion_1"));
  EXPECT_FALSE(configured->isEnabled());
  EXPECT_TRUE(configured->isReadOnly());
  EXPECT_FALSE(widget<QLineEdit>(QStringLiteral("edit_gestion_2"))->isReadOnly());
  EXPECT_TRUE(widget<QLineEdit>(QStringLiteral("txt_suivi_download"))->isReadOnly());

  for (View::Edit e : {View::Edit::Edit_gestion_1, View::Edit::edit_gestion_2, View::Edit::txt_suivi_download}) {
    window.setEditText(e, QStringLiteral("Lecteur é 0"));
    EXPECT_EQ(window.editText(e), QStringLiteral("Lecteur é 0"));
  }

  const auto* note = widget<QPlainTextEdit>(QStringLiteral("Memo1"));
  EXPECT_TRUE(note->isReadOnly());
  EXPECT_EQ(note->toPlainText(),
            QStringLiteral("A l'issue du téléchargement, l'installateur se lancera et le programme actuel "
                           "sera fermé pour permettre \nla mise à jour de l'application."));
}

// The note of the update page, laid out in its own font, stands inside its
// box: no line runs past the right edge, and every line is within its height.
TEST_F(GuiTest, TheUpdatePagesNoteFitsItsBox) {
  window.showPage(View::Page::tab_update);
  auto* note = widget<QPlainTextEdit>(QStringLiteral("Memo1"));
  QApplication::processEvents();
  const QFontMetricsF metrics(note->font());
  qreal height = 0;
  for (QTextBlock block = note->document()->begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    ASSERT_NE(layout, nullptr);
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const QString text = block.text().mid(line.textStart(), line.textLength());
      EXPECT_LE(metrics.horizontalAdvance(text.trimmed()), note->viewport()->width()) << text.toStdString();
      height += line.height();
    }
  }
  EXPECT_LE(height, note->viewport()->height());
  EXPECT_GE(note->document()->blockCount(), 2);
}

TEST_F(GuiTest, DownloadWidgetsShowHideAndClampTheBar) {
  auto* bar = widget<QProgressBar>(QStringLiteral("clProgressBarDC1"));
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  window.showPage(View::Page::tab_update);
  window.setButtonVisible(View::Button::btn_update_go, true);
  window.setProgressVisible(true);
  window.setDownloadTextVisible(true);
  EXPECT_TRUE(window.isButtonVisible(View::Button::btn_update_go));
  EXPECT_TRUE(bar->isVisible());
  EXPECT_TRUE(widget(QStringLiteral("txt_suivi_download"))->isVisible());
  window.setProgressPosition(40);
  EXPECT_EQ(bar->value(), 40);
  window.setProgressPosition(250);
  EXPECT_EQ(bar->value(), 100);
  window.setProgressPosition(-3);
  EXPECT_EQ(bar->value(), 0);
  window.setProgressVisible(false);
  window.setDownloadTextVisible(false);
  window.setButtonVisible(View::Button::btn_update_go, false);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(window.isButtonVisible(View::Button::btn_update_go));
}

TEST_F(GuiTest, ProgressLabelsKeepTheirColourAcrossTextChanges) {
  const auto* suivi = widget<QLabel>(QStringLiteral("label_suivi"));
  window.setLabelColor(View::Label::label_suivi, colors::maroon);
  window.setLabelText(View::Label::label_suivi, QStringLiteral("Fichier(s) manquant(s) !"));
  EXPECT_EQ(suivi->text(), QStringLiteral("Fichier(s) manquant(s) !"));
  EXPECT_EQ(suivi->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  window.setLabelColor(View::Label::label_suivi, colors::black);
  EXPECT_EQ(suivi->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  window.setLabelText(View::Label::label_update2, QStringLiteral("Votre version est à jour"));
  EXPECT_EQ(widget<QLabel>(QStringLiteral("label_update2"))->text(), QStringLiteral("Votre version est à jour"));
}

TEST_F(GuiTest, StatusBarHasOneCentredPanelWithoutGrip) {
  auto* bar = widget<QStatusBar>(QStringLiteral("StatusBar1"));
  EXPECT_FALSE(bar->isSizeGripEnabled());
  auto* panel = widget<QLabel>(QStringLiteral("StatusBar1_panel0"));
  EXPECT_EQ(panel->width(), 200);
  EXPECT_TRUE(panel->alignment() & Qt::AlignHCenter);
  window.setStatusText(QStringLiteral("Version 1.09 ()"));
  EXPECT_EQ(panel->text(), QStringLiteral("Version 1.09 ()"));
}

TEST_F(GuiTest, LinksOpenTheirPagesAndStayOnAbout) {
  click(QStringLiteral("btn_about"));
  click(QStringLiteral("lbl_link3"));
  click(QStringLiteral("lbl_link2"));
  ASSERT_EQ(shell->opened.size(), 2);
  EXPECT_EQ(shell->opened[0], QStringLiteral("https://www.example.test/"));
  EXPECT_TRUE(shell->opened[1].startsWith(QStringLiteral("https://")));
  EXPECT_NE(shell->opened[1], shell->opened[0]);
  EXPECT_EQ(pageShown(), QStringLiteral("tab_about"));
}

TEST_F(GuiTest, AboutTextIsWrittenOnceAndReadOnly) {
  auto* about = widget<QTextEdit>(QStringLiteral("about_texte"));
  const QString text = about->toPlainText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Qui sommes nous ?\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("Version : 1.09\n")));
  EXPECT_TRUE(about->isReadOnly());
  click(QStringLiteral("btn_about"));
  // The page opens on the beginning of the text.
  EXPECT_EQ(about->verticalScrollBar()->value(), 0);
  click(QStringLiteral("btn_vitale"));
  click(QStringLiteral("btn_about"));
  EXPECT_EQ(about->toPlainText(), text);
}

TEST_F(GuiTest, ClosingTheWindowStopsTheDownloader) {
  EXPECT_TRUE(window.close());
  EXPECT_EQ(downloader.stops, 1);
}

TEST_F(GuiTest, QuitStopsTheDownloaderAndAsksToEnd) {
  click(QStringLiteral("btn_quit"));
  EXPECT_EQ(downloader.stops, 1);
  EXPECT_TRUE(window.terminationRequested());
  EXPECT_TRUE(ppal->terminateRequested());
  // Let the pending end of the loop pass while no loop runs, so that it
  // cannot end a later test's loop.
  QCoreApplication::processEvents();
}

}  // namespace
