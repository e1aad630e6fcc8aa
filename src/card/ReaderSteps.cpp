// Rows 3 and 4 of the run and the reader page.
#include "app/Tppal.h"
#include "platform/NotAvailable.h"

void Tppal::check_Listelecteurs() {
  // Once a listing has given a reader name, later runs skip this row entirely.
  if (appli_reader_lec != QStringLiteral("N/A")) return;
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nChoix du lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [] { /* the card library is not asked yet */ });
}

void Tppal::check_initlecteurs() {
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nInitialisation du lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [] { /* the card library is not initialised yet */ });
}

void Tppal::tab_configShow() {}

void Tppal::btn_gestion_4Click() {
  guarded([] { throw NotAvailable("Modification du lecteur"); });
}
