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

// The program a process currently runs, as the kernel shows it.
QString runningExecutable(pid_t pid) { return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)); }

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

  // Like the shell's synchronous launch, wait until the outcome is known:
  // pkexec either ends (126: elevation refused, 127: it could not ask) or
  // is replaced by the installer, which is then running.
  const QString pkexec = runningExecutable(pid);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    const QString now = runningExecutable(pid);
    if (!now.isEmpty() && !pkexec.isEmpty() && now != pkexec) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}
