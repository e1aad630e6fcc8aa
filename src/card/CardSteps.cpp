// Rows 5 to 7 of the run: card session, card access and card data.
#include "app/Tppal.h"
#include "platform/NotAvailable.h"

void Tppal::check_lecteur() {
  runStep({View::StepRow::Image_etat3, QStringLiteral("\r\nConnexion au lecteur\r\n"),
           QStringLiteral("Connexion au lecteur"), QStringLiteral("Lecteur ne répond pas !")},
          [] { /* no card session is opened yet */ });
}

void Tppal::check_vitale() {
  runStep({View::StepRow::Image_etat4, QStringLiteral("\r\nAccès carte Vitale\r\n"),
           QStringLiteral("Lecture de la carte"), QStringLiteral("Carte pas/mal insérée !")},
          [] { /* the card is not accessed yet */ });
}

void Tppal::check_donnees() {
  runStep({View::StepRow::Image_etat5, QStringLiteral("\r\nExtraction des informations\r\n"),
           QStringLiteral("Extraction des données"), QStringLiteral("Données illisibles !")},
          [] { /* the card is not read yet */ });
}

void Tppal::dictionnaire_lec() { throw NotAvailable("Dictionnaire du lecteur"); }
