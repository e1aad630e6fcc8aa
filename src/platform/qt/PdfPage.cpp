#include <QLabel>

#include "platform/qt/ClickableLabel.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/Widgets.h"

PdfPage::PdfPage() : page(makePage(QStringLiteral("tab_pdf"))) {
  Label_pdf1 = makeLabel(page, QStringLiteral("Label_pdf1"), QStringLiteral("Génération d'une attestation"),
                         QRect(116, 22, 361, 29), tahomaPixels(24, true), Qt::AlignHCenter | Qt::AlignTop);
  Label_pdf2 = makeLabel(page, QStringLiteral("Label_pdf2"),
                         QStringLiteral("Obtenez l'attestation en cliquant sur l'icône ci-dessous"),
                         QRect(80, 54, 433, 29), tahomaPixels(15), Qt::AlignHCenter | Qt::AlignTop);
  image_pdf = makeClickablePicture(page, QStringLiteral("image_pdf"), QStringLiteral("pdf_document.svg"),
                                   QRect(224, 111, 128, 128));
}
