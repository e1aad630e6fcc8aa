#include "platform/ini/WindowsIniFile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ini/IniContent.h"

namespace {

[[noreturn]] void failWrite(const QString& path, const QString& reason) {
  throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(path, reason).toStdString());
}

[[noreturn]] void failWrite(const QString& path, int error) {
  failWrite(path, QString::fromLocal8Bit(std::strerror(error)));
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now: some file systems report a failed write only here.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// The whole content from the start of the file; false with errno set.
bool writeAll(int fd, const QByteArray& content) {
  qsizetype done = 0;
  while (done < content.size()) {
    const ssize_t written =
        ::pwrite(fd, content.constData() + done, static_cast<size_t>(content.size() - done), static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;  // not expected of a regular file, but never loop on it
    if (written <= 0) return false;
    done += written;
  }
  return true;
}

struct ExistingFile {
  bool exists = false;
  struct stat status {};
  QByteArray content;
};

// The file as it is, or nothing when there is none yet. A file that exists
// but cannot be read must not be replaced: its content would be lost.
ExistingFile existingFile(const QString& path, const QByteArray& target) {
  ExistingFile file;
  // O_NONBLOCK: a FIFO in the file's place must not hang the write.
  Descriptor fd(::open(target.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    if (errno == ENOENT) return file;
    failWrite(path, errno);
  }
  if (::fstat(fd.get(), &file.status) != 0) failWrite(path, errno);
  if (!S_ISREG(file.status.st_mode)) failWrite(path, QStringLiteral("not a regular file"));
  file.exists = true;
  char buffer[8192];
  for (;;) {
    const ssize_t read = ::read(fd.get(), buffer, sizeof buffer);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) failWrite(path, errno);
    if (read == 0) return file;
    file.content.append(buffer, read);
  }
}

// Writes the content to a new file beside the target and renames it over the
// target: readers see the old file or the new one, and a failure leaves the
// old one. False, leaving nothing behind, when the folder takes no new file
// or the new file cannot get the old one's owner, group and mode.
bool replaceFile(const QString& path, const QByteArray& target, const struct stat* old, const QByteArray& content) {
  QByteArray temporary;
  int created = -1;
  for (int attempt = 0; attempt < 16 && created < 0; ++attempt) {
    temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    // 0666: a file that did not exist gets the mode the umask gives new files.
    created = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (created < 0 && errno != EEXIST) break;
  }
  if (created < 0) {
    if (old && (errno == EACCES || errno == EPERM || errno == EROFS)) return false;
    failWrite(path, errno);
  }
  Descriptor fd(created);
  struct Removal {
    const QByteArray& name;
    bool wanted = true;
    ~Removal() {
      if (wanted) ::unlink(name.constData());
    }
  } removal{temporary};
  // After fchown, which may clear the set-id bits.
  if (old && (::fchown(fd.get(), old->st_uid, old->st_gid) != 0 || ::fchmod(fd.get(), old->st_mode & 07777) != 0)) {
    return false;
  }
  if (!writeAll(fd.get(), content) || ::fsync(fd.get()) != 0 || !fd.close()) failWrite(path, errno);
  if (::rename(temporary.constData(), target.constData()) != 0) failWrite(path, errno);
  removal.wanted = false;
  return true;
}

// Rewrites the file itself, which is what Windows always does. Only the
// fallback, for the cases a replacement cannot handle: a folder that takes no
// new file (a user may be allowed to change the settings but not their
// folder), or a file whose owner or group a new file could not get (a
// group-writable file of another user), which a replacement would take away
// from its owner. It is not atomic, so a failure puts the old bytes back as
// far as the system lets it.
void rewriteInPlace(const QString& path, const QByteArray& target, const ExistingFile& old, const QByteArray& content) {
  Descriptor fd(::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) failWrite(path, errno);
  if (!writeAll(fd.get(), content) || ::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0 ||
      ::fsync(fd.get()) != 0) {
    const int error = errno;
    const bool restored = writeAll(fd.get(), old.content) &&
                          ::ftruncate(fd.get(), static_cast<off_t>(old.content.size())) == 0 && ::fsync(fd.get()) == 0;
    failWrite(path, QString::fromLocal8Bit(std::strerror(error)) +
                        (restored ? QString() : QStringLiteral(", and the old content could not be put back")));
  }
  if (!fd.close()) failWrite(path, errno);
}

// A link stays a link: the file it leads to is the one written.
QByteArray targetOf(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return QFile::encodeName(canonical.isEmpty() ? path : canonical);
}

}  // namespace

std::optional<QString> WindowsIniFile::readValue(const QString& path, const QString& section, const QString& key) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const std::optional<IniContent> content = IniContent::decode(file.readAll());
  return content ? content->value(section, key) : std::nullopt;
}

void WindowsIniFile::writeValue(const QString& path, const QString& section, const QString& key, const QString& value) {
  const QByteArray target = targetOf(path);
  const ExistingFile old = existingFile(path, target);
  // Windows refuses to write a read-only file, to an administrator too.
  if (old.exists && (old.status.st_mode & S_IWUSR) == 0) failWrite(path, QStringLiteral("the file is read-only"));
  const std::optional<IniContent> content = IniContent::decode(old.content);
  if (!content) failWrite(path, QStringLiteral("the file's encoding is not one a settings file can have"));
  QByteArray updated;
  try {
    updated = content->withValue(section, key, value);
  } catch (const std::invalid_argument& error) {
    failWrite(path, QString::fromUtf8(error.what()));
  }
  if (!replaceFile(path, target, old.exists ? &old.status : nullptr, updated)) {
    rewriteInPlace(path, target, old, updated);
  }
}
