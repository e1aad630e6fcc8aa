#include "platform/CertificateFile.h"

#include <cerrno>
#include <system_error>

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
[[noreturn]] void throwSystemError(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

// In a data folder shared by a group (set-group-ID, as the package lays it
// out), the next member's run must be able to write the certificate again,
// whatever the umask of the user who made it.
void shareWithTheFolderGroup(int fd, const struct stat& file, const QString& path) {
  struct stat folder {};
  const QByteArray folderPath = QFile::encodeName(path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
  if (file.st_uid != ::geteuid() || ::stat(folderPath.isEmpty() ? "." : folderPath.constData(), &folder) != 0 ||
      (folder.st_mode & S_ISGID) == 0 || (file.st_mode & S_IWGRP) != 0)
    return;
  if (::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP) != 0) throwSystemError("fchmod");
}

// Writers and viewers lock with either flock or fcntl; the two kinds do not
// see each other on Linux, so the file is taken with both.
void lockExclusively(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) throwSystemError("flock");
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = 0;
  range.l_len = 0;  // the whole file, however long it grows
  if (::fcntl(fd, F_OFD_SETLK, &range) != 0) throwSystemError("fcntl");
}

}  // namespace

CertificateFile::CertificateFile(const QString& path) {
  // No O_TRUNC: the content of a file someone else holds must survive our
  // attempt to open it. Never through a link: whoever may write the data
  // folder could make velnara.pdf lead to another file, which would then be
  // overwritten.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0664);
  if (fd < 0) {
    if (errno == ELOOP) throw CertificateFileRefused("the certificate is a symbolic link");
    throwSystemError("open");
  }
  try {
    struct stat info {};
    if (::fstat(fd, &info) != 0) throwSystemError("fstat");
    // A second name of the file (a hard link) would be overwritten too.
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1)
      throw CertificateFileRefused("the certificate is not a plain file with a single name");
    lockExclusively(fd);
    shareWithTheFolderGroup(fd, info, path);
    if (::ftruncate(fd, 0) != 0) throwSystemError("ftruncate");
  } catch (...) {
    ::close(fd);
    throw;
  }
  handle_ = fd;
}

CertificateFile::~CertificateFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

void CertificateFile::write(std::string_view bytes) {
  const int fd = static_cast<int>(handle_);
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throwSystemError("write");
    }
    if (written == 0) throw std::system_error(ENOSPC, std::generic_category(), "write");
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void CertificateFile::close() {
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    throw std::system_error(error, std::generic_category(), "fsync");
  }
  // After EINTR the descriptor is gone all the same, and the data was already
  // on disk: only other errors mean a lost write.
  if (::close(fd) != 0 && errno != EINTR) throwSystemError("close");
}
