#include <QPushButton>
#include <QTextEdit>

#include "platform/qt/Pages.h"
#include "platform/qt/Widgets.h"

DebugPage::DebugPage() : page(makePage(QStringLiteral("tab_debug"))) {
  debug_texte = makeReadOnlyRichText(page, QStringLiteral("debug_texte"), QRect(0, 0, 577, 305));
  btn_sauve_fichier = makeFlatButton(page, QStringLiteral("btn_sauve_fichier"), QStringLiteral(" Sauver Fichier"),
                                     QStringLiteral("btn_save.svg"), QRect(218, 311, 141, 35));
}
