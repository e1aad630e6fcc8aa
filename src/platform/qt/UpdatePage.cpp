#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/Resources.h"
#include "platform/qt/Widgets.h"

namespace {

QPushButton* makeDownloadButton(QWidget* page) {
  auto* button = new QPushButton(QStringLiteral(" Cliquez ici pour télécharger la mise à jour"), page);
  button->setObjectName(QStringLiteral("btn_update_go"));
  button->setGeometry(142, 100, 299, 37);
  button->setCursor(Qt::PointingHandCursor);
  button->setIcon(QIcon(svgPixmap(picturePath(QStringLiteral("btn_download.svg")), QSize(24, 24))));
  button->setIconSize(QSize(24, 24));
  button->hide();
  return button;
}

QPlainTextEdit* makeInstallerNote(QWidget* page) {
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setGeometry(40, 240, 497, 41);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setReadOnly(true);
  // Two fixed lines, wrapped at the box's edge: the first is longer than
  // the box is wide in Tahoma, and a cut would lose its last letters.
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setWordWrapMode(QTextOption::WordWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont italic = tahomaPoints(8);
  italic.setItalic(true);
  memo->setFont(italic);
  memo->document()->setDocumentMargin(0);
  memo->setPlainText(
      QStringLiteral("A l'issue du téléchargement, l'installateur se lancera et le programme actuel "
                     "sera fermé pour permettre \n"
                     "la mise à jour de l'application."));
  return memo;
}

}  // namespace

UpdatePage::UpdatePage() : page(makePage(QStringLiteral("tab_update"))) {
  label_update1 = makeLabel(page, QStringLiteral("label_update1"), QStringLiteral("Mise à jour de l'application"),
                            QRect(108, 22, 361, 29), tahomaPoints(18, true), Qt::AlignHCenter | Qt::AlignTop);
  label_update2 = makeLabel(page, QStringLiteral("label_update2"), QStringLiteral("Contrôle en cours..."),
                            QRect(72, 54, 433, 29), tahomaPoints(11), Qt::AlignHCenter | Qt::AlignTop);
  btn_update_go = makeDownloadButton(page);

  clProgressBarDC1 = new QProgressBar(page);
  clProgressBarDC1->setObjectName(QStringLiteral("clProgressBarDC1"));
  clProgressBarDC1->setGeometry(40, 170, 497, 16);
  clProgressBarDC1->setRange(0, 100);
  clProgressBarDC1->setValue(0);
  clProgressBarDC1->setTextVisible(false);
  clProgressBarDC1->hide();

  txt_suivi_download = new QLineEdit(page);
  txt_suivi_download->setObjectName(QStringLiteral("txt_suivi_download"));
  txt_suivi_download->setGeometry(40, 192, 497, 21);
  txt_suivi_download->setReadOnly(true);
  txt_suivi_download->hide();

  Memo1 = makeInstallerNote(page);
}
