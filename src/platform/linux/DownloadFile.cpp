// The download file's operations on Linux.
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/downloader/DownloadFile.h"

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

}  // namespace

void DownloadFile::removeLeftoversIn(const QString& folder) {
  const QStringList names =
      QDir(folder).entryList({QStringLiteral(".download-*.part")}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    if (!isTemporaryName(name)) continue;
    const QByteArray path = QFile::encodeName(folder + u'/' + name);
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) continue;
    struct stat status {};
    // A transfer still running holds its lock; a killed process holds none.
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
      ::unlink(path.constData());
    ::close(descriptor);
  }
}

DownloadFile::DownloadFile(std::intptr_t handle, QString temporaryPath)
    : handle_(handle), temporaryPath_(std::move(temporaryPath)) {}

std::unique_ptr<DownloadFile> DownloadFile::createIn(const QString& folder, QString* error) {
  // O_EXCL on a random name rather than mkstemp: the file then gets the
  // permissions the user's umask gives to any new file, not 0600.
  for (int tries = 0; tries < 100; ++tries) {
    const QString path = newTemporaryPath(folder);
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      ::flock(descriptor, LOCK_EX | LOCK_NB);  // new and ours: nobody else can hold it
      return std::unique_ptr<DownloadFile>(new DownloadFile(descriptor, path));
    }
    if (errno != EEXIST) {
      *error = QStringLiteral("Cannot create a file in %1: %2").arg(folder, systemError());
      return nullptr;
    }
  }
  *error = QStringLiteral("Cannot create a file in %1").arg(folder);
  return nullptr;
}

DownloadFile::~DownloadFile() {
  closeHandle();
  if (!committed_) ::unlink(QFile::encodeName(temporaryPath_).constData());
}

void DownloadFile::closeHandle() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

bool DownloadFile::writeAt(qint64 offset, const char* data, qint64 size, QString* error) {
  while (size > 0) {
    const ssize_t written = ::pwrite(static_cast<int>(handle_), data, static_cast<size_t>(size), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      *error = QStringLiteral("Cannot write %1: %2").arg(temporaryPath_, systemError());
      return false;
    }
    data += written;
    offset += written;
    size -= written;
  }
  return true;
}

bool DownloadFile::commitAs(const QString& finalPath, QString* error) {
  const bool flushed = ::fsync(static_cast<int>(handle_)) == 0;
  const QString flushError = flushed ? QString() : systemError();
  closeHandle();
  if (!flushed) {
    *error = QStringLiteral("Cannot write %1: %2").arg(temporaryPath_, flushError);
    return false;
  }
  if (::rename(QFile::encodeName(temporaryPath_).constData(), QFile::encodeName(finalPath).constData()) != 0) {
    *error = QStringLiteral("Cannot name the file %1: %2").arg(finalPath, systemError());
    return false;
  }
  committed_ = true;
  return true;
}
