#include "platform/GroupSharing.h"

#include <QString>

// The data folder's permissions, set by the installer, are inherited by what
// the program creates in it.
void shareWithTheFolderGroup(const QString&) {}

QString sharedFolderRefusal(const QString& folder) {
  return QStringLiteral(
             "Votre compte ne peut pas modifier les données de Velnara (%1).\r"
             "Demandez à un administrateur de donner aux utilisateurs du poste le droit "
             "de modifier ce dossier, ou réinstallez l'application.")
      .arg(folder);
}
