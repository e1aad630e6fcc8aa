#include "platform/qt/ClickableLabel.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/Widgets.h"

#include <QLabel>

CardPage::CardPage() : page(makePage(QStringLiteral("tab_carte"))) {
  title = makeLabel(page, QStringLiteral("lbl_carte1"), QStringLiteral("Génération d'une attestation"),
                    QRect(108, 22, 361, 29), tahomaPoints(18, true), Qt::AlignHCenter | Qt::AlignTop);
  subtitle = makeLabel(page, QStringLiteral("lbl_carte2"),
                       QStringLiteral("Insérez la carte Vitale puis cliquez sur l'icône ci-dessous"),
                       QRect(72, 54, 433, 29), tahomaPoints(11), Qt::AlignHCenter | Qt::AlignTop);
  // The card picture is drawn at the size of its place.
  action_vitale2 = makeClickablePicture(page, QStringLiteral("action_vitale2"), QStringLiteral("card.svg"),
                                        QRect(207, 85, 163, 103));
}
