// Rows 5 to 7 of the run: card session, card access and card data, and the
// dictionary lookup.
#include <QScopeGuard>

#include "app/Tppal.h"
#include "card/AnsiText.h"
#include "card/StepLog.h"
#include "platform/CardLibrary.h"

namespace {
// The program's short name, as the session opening wants it: UTF-16.
constexpr uint16_t kApplicationName[] = {u'v', u'e', u'l', u'n', u'a', 0};
constexpr uint32_t kCardDataSize = 102400;
constexpr uint16_t kLabelSize = 128;
constexpr char kDictionaryZeros[] = "00000000";

const QStringList kCardNotReadable = {QStringLiteral("Assurez-vous que le carte est bien insérée\r\n"),
                                      QStringLiteral("La carte ne peut pas être lue\r\n")};
}  // namespace

void Tppal::check_lecteur() {
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nConnexion au lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [this] { openCardSession(); });
}

void Tppal::openCardSession() {
  appli_api_session = 0;
  appli_api_error = 0;
  appli_api_char = kApplicationName;
  // The session call gives no reader count; the failure line shows this one,
  // which nothing changes.
  const uint16_t readerCount = 0;
  appli_api_return = p.card->Lec_OuvertureSessionVitale(appli_dossier_apilec_force.constData(), &appli_api_char,
                                                        &appli_api_session, &appli_api_error);
  steplog::reportCall(
      *this,
      {.status = appli_api_return,
       .error = appli_api_error,
       .detailLine = QStringLiteral("Nombre lecteurs : %1 (session : %2)\r\n").arg(readerCount).arg(appli_api_session),
       .classifiedCode = uint16_t(appli_api_return),
       .stage = steplog::Stage::Reader,
       .failureLines = {QStringLiteral("Lecteur non joignable\r\n")},
       .successLine = QStringLiteral("Lecteur disponible\r\n")});
}

void Tppal::check_vitale() {
  runStep({View::StepRow::Image_etat4, QStringLiteral("\r\nAccès carte Vitale\r\n"),
           QStringLiteral("Lecture de la carte"), QStringLiteral("Carte pas/mal insérée !")},
          [this] { accessCard(); });
}

void Tppal::accessCard() {
  appli_api_error = 0;
  appli_api_word2 = 0;
  appli_api_return = p.card->Lec_IntroductionMstVitale(appli_api_session, 0, &appli_api_word2, &appli_api_error);
  // This call tells what went wrong through its error code, not its status.
  steplog::reportCall(
      *this,
      {.status = appli_api_return,
       .error = appli_api_error,
       .detailLine = QStringLiteral("Etat carte : %1 (session : %2)\r\n").arg(appli_api_word2).arg(appli_api_session),
       .classifiedCode = appli_api_error,
       .stage = steplog::Stage::Reading,
       .failureLines = kCardNotReadable,
       .successLine = QStringLiteral("La carte est accessible\r\n")});
}

void Tppal::check_donnees() {
  runStep({View::StepRow::Image_etat5, QStringLiteral("\r\nExtraction des informations\r\n"),
           QStringLiteral("Extraction des données"), QStringLiteral("Données illisibles !")},
          [this] { readCardData(); });
  // The card is released and the session closed in every run that gets here,
  // failed or not; an error that left the step above skips this.
  endCardSession();
}

void Tppal::readCardData() {
  appli_api_xml.assign(kCardDataSize, 0);
  appli_api_size = kCardDataSize;
  const auto release = qScopeGuard([this] { std::vector<char>().swap(appli_api_xml); });

  appli_api_return =
      p.card->Lec_LectureVitale(appli_api_session, 0, appli_api_xml.data(), &appli_api_size, &appli_api_error);
  const bool read = steplog::reportCall(
      *this,
      {.status = appli_api_return,
       .error = appli_api_error,
       .detailLine = QStringLiteral("Taille retour : %1 (session : %2)\r\n").arg(appli_api_size).arg(appli_api_session),
       .classifiedCode = uint16_t(appli_api_return),
       .stage = steplog::Stage::Reading,
       .failureLines = kCardNotReadable,
       .successLine = QStringLiteral("La données ont été récupérées\r\n")});
  // The size the library reports is not trusted: the data ends at its first
  // NUL byte, and never beyond the buffer.
  if (read) extractCardData(bytesUpToNul(appli_api_xml.data(), appli_api_xml.size()));
}

void Tppal::endCardSession() {
  appli_api_error = 0;
  appli_api_return = p.card->Lec_RetraitMhtVitale(appli_api_session, 0, &appli_api_error);
  appli_api_return = p.card->Lec_FermetureSessionVitale(appli_api_session, &appli_api_error);
}

void Tppal::dictionnaire_lec() {
  app_dico_texte.assign(kLabelSize, 0);
  app_dico_texte_taille = kLabelSize;
  app_dico_retour =
      p.card->Lec_Dictionnaire(appli_dossier_apilec_force.constData(), app_dico_table, app_dico_code.constData(),
                               kDictionaryZeros, app_dico_texte.data(), &app_dico_texte_taille, &app_dico_error);
  AddDebugLine(QStringLiteral("Dictionnaire %1: %2(%3)").arg(app_dico_table).arg(app_dico_retour).arg(app_dico_error));
  // Whatever the status, the caller gets what the buffer holds.
  app_dico_texte_retour = bytesUpToNul(app_dico_texte.data(), app_dico_texte.size());
}
