#include "platform/GroupSharing.h"

#include <sys/stat.h>

#include <stdexcept>

#include <QFile>
#include <QFileInfo>

void shareWithTheFolderGroup(const QString& file) {
  struct stat folder {};
  const QByteArray path = QFile::encodeName(file);
  const QByteArray folderPath = QFile::encodeName(QFileInfo(file).absolutePath());
  if (::stat(folderPath.constData(), &folder) != 0 || (folder.st_mode & S_ISGID) == 0) return;
  if (::chmod(path.constData(), 0664) != 0)
    throw std::runtime_error("cannot make " + file.toStdString() + " writable by the group");
}

QString sharedFolderRefusal(const QString& folder) {
  return QStringLiteral(
             "Votre compte ne peut pas modifier les données de Velnara (%1).\r"
             "Demandez à un administrateur de l'ajouter au groupe « %2 », "
             "puis ouvrez une nouvelle session.")
      .arg(folder, QStringLiteral(VELNARA_DATA_GROUP));
}
