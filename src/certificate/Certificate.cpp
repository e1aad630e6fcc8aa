// Row 8 of the run: the certificate, and opening it.
#include "app/Tppal.h"
#include "platform/NotAvailable.h"

void Tppal::check_pdf() {
  runStep({View::StepRow::Image_etat6, QStringLiteral("\r\nGénération du PDF\r\n"),
           QStringLiteral("Génération du PDF"), QStringLiteral("PDF en erreur !")},
          [this] { creation_pdf(); });
}

void Tppal::creation_pdf() { /* the certificate is not written yet */ }

void Tppal::image_pdfClick() {
  guarded([] { throw NotAvailable("Ouverture de l'attestation"); });
}
