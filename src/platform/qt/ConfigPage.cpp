#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/Widgets.h"

namespace {

// Readers often met on workstations, offered for the technician to copy.
const char* const knownReaders[] = {
    "SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0",
    "SCM Microsystems Inc. SCR35xx USB Smart Card Reader 0",
    "Generic EMV Smartcard Reader 0",
    "OMNIKEY AG Smart Card Reader USB 0",
    "Generic Usb Smart Card Reader 0",
    "Ingenico 25024371 TL TELIUM 2 0",
};

QLineEdit* makeEdit(QWidget* page, const QString& name, const QRect& geometry) {
  auto* edit = new QLineEdit(page);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  edit->setFont(tahomaPoints(8));
  return edit;
}

QPlainTextEdit* makeKnownReaders(QWidget* page) {
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(QStringLiteral("memo_gestion_3"));
  memo->setGeometry(16, 215, 561, 79);
  memo->setReadOnly(true);
  memo->setFont(tahomaPoints(8));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  for (const char* reader : knownReaders) memo->appendPlainText(QString::fromUtf8(reader));
  return memo;
}

}  // namespace

ConfigPage::ConfigPage() : page(makePage(QStringLiteral("tab_config"))) {
  const QFont caption = tahomaPixels(13);
  lbl_gestion1 = makeLabel(page, QStringLiteral("lbl_gestion1"), QStringLiteral("Gestion du lecteur"),
                           QRect(108, 22, 361, 29), tahomaPoints(18, true), Qt::AlignHCenter | Qt::AlignTop);
  lbl_gestion2 = makeLabel(page, QStringLiteral("lbl_gestion2"),
                           QStringLiteral("Cet espace permet de modifier le lecteur vitale à utiliser, ne "
                                          "faites une modification que sur demande du support technique"),
                           QRect(72, 54, 433, 43), tahomaPoints(11), Qt::AlignHCenter | Qt::AlignTop);
  lbl_gestion2->setWordWrap(true);

  makeLabel(page, QStringLiteral("lbl_gestion_1"), QStringLiteral("Lecteur actuellement configuré :"),
            QRect(16, 104, 433, 28), caption);
  Edit_gestion_1 = makeEdit(page, QStringLiteral("Edit_gestion_1"), QRect(16, 122, 561, 21));
  Edit_gestion_1->setReadOnly(true);
  Edit_gestion_1->setEnabled(false);

  makeLabel(page, QStringLiteral("lbl_gestion_2"), QStringLiteral("Lecteur à forcer :"), QRect(16, 152, 433, 28),
            caption);
  edit_gestion_2 = makeEdit(page, QStringLiteral("edit_gestion_2"), QRect(16, 170, 561, 21));

  makeLabel(page, QStringLiteral("lbl_gestion_3"), QStringLiteral("Lecteurs habituellements utilisés :"),
            QRect(16, 200, 433, 28), caption);
  memo_gestion_3 = makeKnownReaders(page);

  btn_gestion_4 = makeFlatButton(page, QStringLiteral("btn_gestion_4"), QStringLiteral(" Modifier le lecteur"),
                                 QStringLiteral("btn_reader.svg"), QRect(228, 309, 137, 35));
}
