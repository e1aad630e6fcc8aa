#pragma once

#include <array>

#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class ClickableLabel;

// The seven pages of the page set tab_master, in their order there. Each
// builds its widgets at their fixed places and keeps the ones the window
// drives; every widget carries its own name.

// tab_carte: the home page, whose card picture starts a run.
struct CardPage {
  CardPage();
  QWidget* page;
  QLabel* title;
  QLabel* subtitle;
  ClickableLabel* action_vitale2;
};

// tab_launch: progress of a run, six step rows and the legend of the icons.
struct LaunchPage {
  LaunchPage();
  QWidget* page;
  QLabel* label_suivi;
  QLabel* label_suivi2;
  // By View::StepRow: Image_etat1, Image_etat2b, Image_etat3 ... Image_etat6.
  std::array<QLabel*, 6> rows{};
  std::array<QLabel*, 6> captions{};
  QFrame* legendLine;
};

// tab_debug: the diagnostic log and its save button.
struct DebugPage {
  DebugPage();
  QWidget* page;
  QTextEdit* debug_texte;
  QPushButton* btn_sauve_fichier;
};

// tab_update: update check status and the download widgets.
struct UpdatePage {
  UpdatePage();
  QWidget* page;
  QLabel* label_update1;
  QLabel* label_update2;
  QPushButton* btn_update_go;
  QProgressBar* clProgressBarDC1;
  QLineEdit* txt_suivi_download;
  QPlainTextEdit* Memo1;
};

// tab_pdf: the produced certificate, opened by a click on its icon.
struct PdfPage {
  PdfPage();
  QWidget* page;
  QLabel* Label_pdf1;
  QLabel* Label_pdf2;
  ClickableLabel* image_pdf;
};

// tab_about: the About text and two links.
struct AboutPage {
  AboutPage();
  QWidget* page;
  QLabel* lbl_about1;
  QLabel* lbl_about2;
  QTextEdit* about_texte;
  ClickableLabel* lbl_link3;
  ClickableLabel* lbl_link2;
};

// tab_config: the card-reader override.
struct ConfigPage {
  ConfigPage();
  QWidget* page;
  QLabel* lbl_gestion1;
  QLabel* lbl_gestion2;
  QLineEdit* Edit_gestion_1;
  QLineEdit* edit_gestion_2;
  QPlainTextEdit* memo_gestion_3;
  QPushButton* btn_gestion_4;
};

// A read-only rich-text box without border in the window's font, as the log
// and the About text are.
QTextEdit* makeReadOnlyRichText(QWidget* parent, const QString& name, const QRect& geometry);
