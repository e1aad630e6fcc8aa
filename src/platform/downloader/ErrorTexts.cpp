#include "platform/downloader/ErrorTexts.h"

namespace download_text {

namespace {
constexpr qsizetype kShownLength = 80;
const QString kRefused = QStringLiteral(" : téléchargement refusé");
}  // namespace

QString transferFailed(const QString& reason) { return QStringLiteral("Échec du transfert : ") + reason; }

QString serverDidNotServe(const QString& reason) {
  return QStringLiteral("Le serveur n'a pas fourni le fichier : ") + reason;
}

QString badAnswer(const QString& reason) { return QStringLiteral("Réponse incorrecte du serveur : ") + reason; }

QString fileFailed(const QString& reason) {
  return QStringLiteral("Impossible d'enregistrer le fichier téléchargé : ") + reason;
}

QString cannotStart(const QString& reason) {
  return QStringLiteral("Le téléchargement ne peut pas commencer : ") + reason;
}

QString otherFileOffered(const QString& offered, const QString& expected) {
  return QStringLiteral("Le serveur propose le fichier \"%1\" au lieu de \"%2\"")
             .arg(shownServerText(offered), expected) +
         kRefused;
}

QString noFileNameOffered(const QString& expected) {
  return QStringLiteral("Le serveur ne donne pas de nom au fichier proposé (attendu : \"%1\")").arg(expected) +
         kRefused;
}

QString announcedTooLarge(qint64 size, qint64 limit) {
  return QStringLiteral("Le serveur annonce un fichier de %1 octets, plus que les %2 permis").arg(size).arg(limit) +
         kRefused;
}

QString grewTooLarge(qint64 limit) {
  return QStringLiteral("Le fichier envoyé par le serveur dépasse les %1 octets permis").arg(limit) + kRefused;
}

QString notEnoughSpace(const QString& folder, qint64 size, qint64 available) {
  return QStringLiteral("Le fichier de %1 octets ne tient pas dans les %2 octets libres de %3")
             .arg(size)
             .arg(available)
             .arg(folder) +
         kRefused;
}

QString endNotVerifiable() {
  return QStringLiteral(
             "Le serveur n'annonce ni la taille du fichier ni sa fin, un fichier coupé passerait pour "
             "complet") +
         kRefused;
}

QString insecureRedirect(const QString& location) {
  return QStringLiteral("Le serveur renvoie vers une adresse non chiffrée (%1)").arg(shownServerText(location)) +
         kRefused;
}

QString shownServerText(const QString& text) {
  QString shown;
  // Control and format characters (a right-to-left override among them) could
  // make the name read as another one.
  for (const QChar c : text.left(kShownLength)) shown += c.isPrint() ? c : QChar(QChar::ReplacementCharacter);
  if (text.size() > kShownLength) shown += QChar(0x2026);
  return shown;
}

}  // namespace download_text
