// The run: its rows, section headings, run flags and status icons.
#include <QScopeGuard>

#include "app/Tppal.h"

namespace {
const QString kWaiting = QStringLiteral("Attente du lancement...");
const QString kAdvice = QStringLiteral("Consulter le diagnostic pour plus d'informations");

constexpr View::StepRow kRows[] = {
    View::StepRow::Image_etat1, View::StepRow::Image_etat2b, View::StepRow::Image_etat3,
    View::StepRow::Image_etat4, View::StepRow::Image_etat5,  View::StepRow::Image_etat6,
};
}  // namespace

void Tppal::raz_etat() {
  appli_check_continue = 0;
  appli_check_continue2 = 0;
  setLabel(View::Label::label_suivi, kWaiting, colors::black);
  setLabel(View::Label::label_suivi2, kWaiting, colors::black);
  view.setLabelText(View::Label::label_update2, QStringLiteral("Contrôle en cours..."));
  showPage(View::Page::tab_carte);
  for (View::StepRow row : kRows) view.setStepIcon(row, View::Icon::None);
  for (View::StepRow row : kRows) view.setStepIcon(row, View::Icon::etat_attente);
}

void Tppal::asTheOnlyActivity(const std::function<void()>& handler) {
  if (activity_running) return;
  activity_running = true;
  const auto done = qScopeGuard([this] { activity_running = false; });
  handler();
}

void Tppal::action_vitale2Click() {
  asTheOnlyActivity([this] {
    guarded([this] {
      raz_etat();
      pump();
      showPage(View::Page::tab_launch);
      view.setLabelText(View::Label::label_suivi2, QStringLiteral("Traitement en cours"));
      view.setButtonVisible(View::Button::btn_diagnostique, true);
      debug_mode();
      pump();

      const struct {
        const char16_t* heading;
        void (Tppal::*step)();
      } rows[] = {
          {u"\r\n### Fichiers", &Tppal::check_fichiers},
          {u"\r\n### Mise à Jour", &Tppal::dailyUpdateDecision},
          {u"\r\n### Liste Lecteurs", &Tppal::check_Listelecteurs},
          {u"\r\n### Initialisation Lecteurs", &Tppal::check_initlecteurs},
          {u"\r\n### Lecteur Vitale", &Tppal::check_lecteur},
          {u"\r\n### Gestion Vitale", &Tppal::check_vitale},
          {u"\r\n### Traitement des Données", &Tppal::check_donnees},
          {u"\r\n### Génération PDF", &Tppal::check_pdf},
      };
      for (const auto& row : rows) {
        AddDebugText(QString::fromUtf16(row.heading), fsBold, colors::blue);
        (this->*row.step)();
        pump();
      }

      if (appli_check_continue == 0) showPage(View::Page::tab_pdf);
    });
  });
}

bool Tppal::runStep(const StepDef& step, const std::function<void()>& work) {
  setStepIcon(step.row, View::Icon::etat_en_cours);
  if (appli_check_continue2 == 0) {
    AddDebugText(step.subHeading, fsBold | fsUnderline, colors::black);
    view.setLabelText(View::Label::label_suivi, step.runningText);
  }
  if (step.pumpBeforeWork) pump();
  if (appli_check_continue == 0) {
    if (step.givesWay && step.givesWay()) return false;
    work();
  }
  if (appli_check_continue == 1) {
    if (appli_check_continue2 == 0) {
      appli_check_continue2 = 1;
      setLabel(View::Label::label_suivi, step.failureText, colors::maroon);
      setLabel(View::Label::label_suivi2, kAdvice, colors::maroon);
      if (step.onFirstFailure) step.onFirstFailure();
    }
    setStepIcon(step.row, View::Icon::etat_nok);
    return false;
  }
  setStepIcon(step.row, View::Icon::etat_ok);
  return true;
}
