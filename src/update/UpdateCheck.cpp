// Row 2 of the run and the " Mise à Jour" button: the update check.
#include "app/Tppal.h"

void Tppal::dailyUpdateDecision() { check_maj(); }

void Tppal::check_maj() {
  StepDef step{View::StepRow::Image_etat2b, QStringLiteral("\r\nContrôle Mise à Jour\r\n"),
               QStringLiteral("Recherche d'une mise à jour"), QStringLiteral("Mise à Jour disponible")};
  step.pumpBeforeWork = false;
  runStep(step, [] { /* the update server is not asked yet */ });
}
