// Rows 3 and 4 of the run and the reader page.
#include <algorithm>
#include <stdexcept>

#include "app/Tppal.h"
#include "card/AnsiText.h"
#include "card/StepLog.h"
#include "platform/CardLibrary.h"
#include "platform/IniFile.h"

namespace {
const QString kSection = QStringLiteral("Lecteur");
const QString kKey = QStringLiteral("Ressource_Vitale");
const QString kReaderNotPlugged = QStringLiteral("Lecteur non branché\r\n");
const QString kReaderPlugged = QStringLiteral("Lecteur branché : ");
}  // namespace

QString Tppal::firstReaderName() const {
  // Asking for it when the listing gave no reader is what ends a listing in
  // "Aucun lecteur trouvé !".
  if (appli_reader_nbre < 1 || appli_reader_list.empty()) throw std::runtime_error("Aucun lecteur dans la liste");
  const T_infosLecteur& first = appli_reader_list.front();
  return ansiTextUpToNul(first.nom_ressource, sizeof first.nom_ressource);
}

void Tppal::check_Listelecteurs() {
  // Once a listing has given a reader name, later runs skip this row entirely.
  if (appli_reader_lec != QStringLiteral("N/A")) return;
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nChoix du lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [this] { listReaders(); });
}

void Tppal::listReaders() {
  appli_api_error = 0;
  try {
    const char* folder = appli_dossier_apilec_force.constData();
    // The library takes the count it is given as the room in the buffer. A
    // listing that failed after its count grew (a reader plugged in between
    // its two calls) left a buffer smaller than that count.
    appli_reader_nbre = std::min(appli_reader_nbre, int32_t(appli_reader_list.size()));
    // The first call only learns the count.
    appli_api_return = p.card->Lec_ListeLecteurs(folder, appli_reader_list.empty() ? nullptr : appli_reader_list.data(),
                                                 &appli_reader_nbre, &appli_api_error);
    // Value-initialised: the library gets zero-filled records.
    appli_reader_list =
        appli_reader_nbre > 0 ? std::vector<T_infosLecteur>(size_t(appli_reader_nbre)) : std::vector<T_infosLecteur>();
    appli_api_return = p.card->Lec_ListeLecteurs(folder, appli_reader_list.empty() ? nullptr : appli_reader_list.data(),
                                                 &appli_reader_nbre, &appli_api_error);

    if (appli_api_return != 0) {
      steplog::plain(*this, QStringLiteral("Nombre de lecteurs : %1 (erreur : %2 / code : %3)\r\n")
                                .arg(appli_reader_nbre)
                                .arg(appli_api_error)
                                .arg(appli_api_return));
      if (!steplog::reportBlockingCode(*this, uint16_t(appli_api_return), steplog::Stage::Reader,
                                       {kReaderNotPlugged})) {
        steplog::plain(*this, kReaderPlugged);
        steplog::success(*this, firstReaderName() + QStringLiteral("\r\n"));
      }
    } else if (appli_reader_nbre < 1) {
      steplog::failure(*this, kReaderNotPlugged);
    } else {
      steplog::plain(*this, QStringLiteral("Nombre de lecteurs : %1\r\n").arg(appli_reader_nbre));
      steplog::plain(*this, kReaderPlugged);
      steplog::success(*this, firstReaderName() + QStringLiteral("\r\n"));
      appli_nom_lecteur = firstReaderName();
    }
    appli_reader_lec = firstReaderName();
  } catch (...) {
    // Whatever went wrong, the run fails and the next run lists again.
    appli_check_continue = 1;
    steplog::failure(*this, QStringLiteral("Aucun lecteur trouvé !\r\n"));
  }
}

void Tppal::check_initlecteurs() {
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nInitialisation du lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [this] { initReaders(); });
}

void Tppal::initReaders() {
  const std::optional<QString> configured = p.ini->readValue(appli_ini_file, kSection, kKey);
  steplog::plain(*this, QStringLiteral("Lecteur reconnu : ") + firstReaderName() + QStringLiteral("\r\n"));
  steplog::plain(*this, QStringLiteral("Contenu api_lec : "));
  if (configured) {
    appli_nom_lecteur_ini = *configured;
    steplog::plain(*this, appli_nom_lecteur_ini + QStringLiteral("\r\n"));
    if (appli_nom_lecteur_ini == appli_nom_lecteur) {
      steplog::success(*this, QStringLiteral("Les lecteurs sont identiques\r\n"));
    } else {
      steplog::failure(*this, QStringLiteral("Les lecteurs sont différents (peut ne pas être grave)\r\n"));
    }
  } else {
    appli_nom_lecteur_ini.clear();
    steplog::failure(*this, QStringLiteral("Fichier non trouvé à l'emplacement voulu\r\n"));
  }

  // Neither a missing file nor a different name stops the run: the library
  // is brought up with whatever the settings file says, even nothing.
  appli_api_error = 0;
  appli_reader_use = encodeAnsi(appli_nom_lecteur_ini);
  appli_api_return = p.card->Lec_InitLecteurs(appli_dossier_apilec_force.constData(), appli_reader_use.constData(),
                                              appli_reader_use.constData(), &appli_api_error);
  steplog::reportCall(*this, {.status = appli_api_return,
                              .error = appli_api_error,
                              .classifiedCode = uint16_t(appli_api_return),
                              .stage = steplog::Stage::Reader,
                              .failureLines = {QStringLiteral("Lecteur non joignable\r\n")},
                              .successLine = QStringLiteral("Lecteur initialisé\r\n")});
}

void Tppal::tab_configShow() {
  const std::optional<QString> configured = p.ini->readValue(appli_ini_file, kSection, kKey);
  if (configured) {
    view.setEditText(View::Edit::Edit_gestion_1, *configured);
    view.setEditText(View::Edit::edit_gestion_2, *configured);
  } else {
    view.setEditText(View::Edit::Edit_gestion_1, QStringLiteral("N/A (introuvable)"));
    view.setEditText(View::Edit::edit_gestion_2, QStringLiteral("SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0"));
  }
}

void Tppal::btn_gestion_4Click() {
  guarded([this] {
    try {
      p.ini->writeValue(appli_ini_file, kSection, kKey, view.editText(View::Edit::edit_gestion_2));
    } catch (const std::exception&) {
      throw std::runtime_error((QStringLiteral("Impossible d'écrire dans ") + appli_ini_file).toStdString());
    }
    messageBox(QStringLiteral("Gestion lecteur"),
               QStringLiteral("Le programme doit être arrêter puis relancer pour\r"
                              "la bonne prise en compte de cette modification"),
               View::MessageIcon::Information);
  });
}
