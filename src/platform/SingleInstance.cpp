#include "platform/SingleInstance.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace {
// The guard covers the user's session: the lock file lives in the user's
// runtime folder, or in a per-user folder of the temporary area without one.
QString guardFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) return QString::fromLocal8Bit(runtime);
  const QString fallback = QDir::tempPath() + QStringLiteral("/velnara-") + QString::number(getuid());
  QDir().mkpath(fallback);
  return fallback;
}
}  // namespace

bool acquireSingleInstance(const QString& name) {
  const QByteArray path = QFile::encodeName(guardFolder() + QLatin1Char('/') + name);
  // The descriptor stays open (and the lock held) until the process ends.
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // any other failure: start as a first instance
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  const bool held = errno == EWOULDBLOCK;
  ::close(fd);
  return !held;
}
