#include <filesystem>
#include <system_error>

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "platform/db/SqlCipherDatabase.h"

using namespace sqlcipher_handles;

namespace {

std::filesystem::path nativePath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A name in the same folder, so that the final rename stays on one file system.
QString temporarySibling(const QString& path) {
  return path + QStringLiteral(".tmp-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void buildDatabase(const QString& path, const QString& password, const QString& script) {
  const Connection db = openKeyed(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  runScript(db.get(), script);
  // Also proves the result reads back with the key, and refuses a script
  // that left the file empty (an empty file would not even be encrypted).
  verifyReadable(db.get());
}

void moveIntoPlace(const QString& from, const QString& to, SqlCipherDatabase::Existing existing) {
  if (existing == SqlCipherDatabase::Existing::Refuse) {
    // QFile::rename never replaces an existing file, even one that appeared
    // while the database was being built.
    QFile source(from);
    if (!source.rename(to)) {
      throw DatabaseError(
          QStringLiteral("cannot move the new database to %1: %2").arg(to, source.errorString()).toStdString());
    }
    return;
  }
  std::error_code error;
  std::filesystem::rename(nativePath(from), nativePath(to), error);
  if (error) {
    throw DatabaseError(QStringLiteral("cannot move the new database to %1: ").arg(to).toStdString() + error.message());
  }
}

}  // namespace

void SqlCipherDatabase::createFromScript(const QString& path, const QString& password, const QString& script,
                                         Existing existing) {
  if (password.isEmpty()) {
    throw DatabaseError("a new configuration database needs a password");
  }
  if (existing == Existing::Refuse && QFileInfo::exists(path)) {
    throw DatabaseError(QStringLiteral("the file already exists: %1").arg(path).toStdString());
  }
  const QString temporary = temporarySibling(path);
  try {
    buildDatabase(temporary, password, script);
    moveIntoPlace(temporary, path, existing);
  } catch (...) {
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
    throw;
  }
}
