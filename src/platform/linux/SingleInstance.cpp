#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace {

// A folder only this user can change: a real folder (not a link), the
// user's own, closed to everyone else. Anyone may create a folder in the
// temporary area first, with any name.
bool isOwnPrivateFolder(const QByteArray& path) {
  struct stat info {};
  return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
         (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The guard covers the user's session: the lock file lives in the user's
// runtime folder, or without one in a folder of the user's own in the
// temporary area. Empty when that folder is someone else's.
QString guardFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) return QString::fromLocal8Bit(runtime);
  const QString fallback = QDir::tempPath() + QStringLiteral("/velnara-") + QString::number(::getuid());
  const QByteArray path = QFile::encodeName(fallback);
  ::mkdir(path.constData(), 0700);  // made here, or already there: checked below either way
  if (isOwnPrivateFolder(path)) return fallback;
  std::fprintf(stderr,
               "Velnara : le dossier %s n'appartient pas à votre compte ou reste ouvert aux autres ; "
               "la protection contre un second lancement est ignorée.\n",
               path.constData());
  return {};
}

}  // namespace

bool acquireSingleInstance(const QString& name) {
  const QString folder = guardFolder();
  // A guard someone else could hold is no guard: the program starts.
  if (folder.isEmpty()) return true;
  const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
  // The descriptor stays open (and the lock held) until the process ends.
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;  // any other failure: start as a first instance
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  const bool held = errno == EWOULDBLOCK;
  ::close(fd);
  return !held;
}
