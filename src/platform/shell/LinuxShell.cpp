#include "platform/shell/LinuxShell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include <QFile>
#include <QFileInfo>
#include <QProcess>

extern char** environ;

namespace {

// pkexec's own exit codes: the authorisation was refused or dismissed
// (126), or could not be asked for at all (127).
constexpr int kElevationRefused = 126;
constexpr int kElevationImpossible = 127;

// The name the kernel gives a process, from /proc/<pid>/stat, which any
// user may read, a setuid process's too; /proc/<pid>/exe of a process that
// became root is closed to an ordinary user. Empty once the process is gone.
QByteArray processName(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return {};
  const QByteArray line = stat.readAll();
  const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
  return open < 0 || close < open ? QByteArray() : line.mid(open + 1, close - open - 1);
}

}  // namespace

bool LinuxShell::open(const QString& fileOrUrl) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {fileOrUrl});
}

bool LinuxShell::runAsAdministrator(const QString& file) {
  // pkexec asks for the administrator's password and then becomes the
  // file. A missing or unrunnable file is refused before asking.
  const QFileInfo info(file);
  if (!info.isFile() || !info.isExecutable()) return false;
  const QByteArray path = QFile::encodeName(info.absoluteFilePath());
  char program[] = "pkexec";
  char* argv[] = {program, const_cast<char*>(path.constData()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;

  // Like the shell's synchronous launch, wait until the outcome is known,
  // but never for the installer itself: pkexec either ends on its own (a
  // refusal) or, once authorised, becomes the installer, which then runs on
  // by itself. Becoming it shows as another process name than the one the
  // kernel gave pkexec, its file's name. (Not the name seen first: with an
  // authorisation kept from earlier, pkexec may already be the installer.)
  const QByteArray pkexecName = program;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      // Ended before its change of name was seen: only pkexec's own codes
      // say that nothing was started; any other end is the installer's.
      if (!WIFEXITED(status)) return false;
      const int code = WEXITSTATUS(status);
      return code != kElevationRefused && code != kElevationImpossible;
    }
    if (done < 0 && errno != EINTR) return false;
    const QByteArray now = processName(pid);
    if (!now.isEmpty() && now != pkexecName) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}
