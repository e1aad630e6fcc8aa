// Two starts of the real program in one user session: the second shows the
// refusal box and, once it is answered, leaves with code 0 while the first
// goes on running.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "VncClient.h"

namespace {

const QString program = QStringLiteral(VELNARA_BIN_DIR "/velnara");
constexpr int patienceMs = 30000;
constexpr uint32_t returnKey = 0xff0d;

// Whether some process holds a lock on the file, read from /proc/locks so
// that looking never takes the lock itself.
bool lockIsHeld(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
  QFile locks(QStringLiteral("/proc/locks"));
  if (!locks.open(QIODevice::ReadOnly)) return false;
  const QByteArray inode = ":" + QByteArray::number(qulonglong(info.st_ino)) + " ";
  for (const QByteArray& line : locks.readAll().split('\n'))
    if (line.contains("FLOCK") && line.contains(inode)) return true;
  return false;
}

constexpr int minimumIconPixels = 100;

int redPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      count += (c.red() > 150 && c.green() < 90 && c.blue() < 90) ? 1 : 0;
    }
  return count;
}

QProcessEnvironment session(const QString& runtimeFolder, const QString& platform) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
  return env;
}

// Ends a process this test started, whatever state it is in.
struct Started {
  QProcess process;
  ~Started() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(5000);
    }
  }
};

TEST(SingleInstance, SecondStartIsRefusedAndLeavesWithZero) {
  ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
  QTemporaryDir runtime;
  const QString guard = runtime.filePath(QStringLiteral("Velnara"));

  Started first;
  first.process.setProcessEnvironment(session(runtime.path(), QStringLiteral("offscreen")));
  first.process.start(program, {});
  ASSERT_TRUE(first.process.waitForStarted(patienceMs));
  QDeadlineTimer deadline(patienceMs);
  while (!lockIsHeld(guard) && !deadline.hasExpired() && first.process.state() == QProcess::Running)
    QThread::msleep(50);
  ASSERT_TRUE(lockIsHeld(guard)) << "the first instance never took the guard";

  // The second one runs on the VNC platform so that its box can be answered.
  const uint16_t port = VncClient::freePort();
  ASSERT_NE(port, 0);
  Started second;
  second.process.setProcessEnvironment(session(runtime.path(), QStringLiteral("vnc:port=%1").arg(port)));
  second.process.start(program, {});
  ASSERT_TRUE(second.process.waitForStarted(patienceMs));

  VncClient screen;
  deadline.setRemainingTime(patienceMs);
  while (!screen.connect(port) && !deadline.hasExpired() && second.process.state() == QProcess::Running)
    QThread::msleep(100);
  // The refusal carries the error icon, drawn in red; the start-up failure
  // boxes of a second program that got past the guard carry the blue
  // information icon instead.
  bool errorBoxShown = false;
  while (!errorBoxShown && !deadline.hasExpired() && second.process.state() == QProcess::Running) {
    const std::optional<QImage> image = screen.grab();
    errorBoxShown = image && redPixels(*image) >= minimumIconPixels;
    if (!errorBoxShown) QThread::msleep(200);
  }
  EXPECT_TRUE(errorBoxShown) << screen.error().toStdString();
  // Return answers the box.
  while (second.process.state() == QProcess::Running && !deadline.hasExpired()) {
    screen.typeKey(returnKey);
    second.process.waitForFinished(300);
  }

  EXPECT_EQ(second.process.state(), QProcess::NotRunning) << screen.error().toStdString();
  EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process.exitCode(), 0) << second.process.readAllStandardError().toStdString();
  EXPECT_EQ(first.process.state(), QProcess::Running);
  EXPECT_TRUE(lockIsHeld(guard));
}

// Without a runtime folder the guard lives in a folder of the user's own in
// the temporary area. Another user who made that folder first, and holds
// the lock in it, must not keep the program from starting: the folder is
// refused with a message naming it, and the program goes on.
TEST(SingleInstance, AnotherUsersLockFolderDoesNotKeepTheProgramFromStarting) {
  if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty())
    GTEST_SKIP() << "acting as another user needs root and runuser";
  QTemporaryDir temporaryArea;
  ASSERT_EQ(::chmod(QFile::encodeName(temporaryArea.path()).constData(), 01777), 0);
  const QString taken = temporaryArea.filePath(QStringLiteral("velnara-%1").arg(::getuid()));
  const QString guard = taken + QStringLiteral("/Velnara");

  Started holder;
  holder.process.start(
      QStringLiteral("runuser"),
      {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
       QStringLiteral("mkdir -m 0777 \"$1\" && exec flock \"$1/Velnara\" sleep 120"), QStringLiteral("sh"), taken});
  QDeadlineTimer deadline(patienceMs);
  while (!lockIsHeld(guard) && !deadline.hasExpired() && holder.process.state() != QProcess::NotRunning)
    QThread::msleep(50);
  ASSERT_TRUE(lockIsHeld(guard)) << holder.process.readAllStandardError().toStdString();

  Started velnara;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  env.insert(QStringLiteral("TMPDIR"), temporaryArea.path());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  velnara.process.setProcessEnvironment(env);
  velnara.process.start(program, {});
  ASSERT_TRUE(velnara.process.waitForStarted(patienceMs));
  QByteArray err;
  deadline.setRemainingTime(patienceMs);
  while (!err.contains("protection contre un second lancement") && !deadline.hasExpired() &&
         velnara.process.state() == QProcess::Running) {
    velnara.process.waitForReadyRead(200);
    err += velnara.process.readAllStandardError();
  }
  EXPECT_TRUE(err.contains(QFile::encodeName(taken))) << err.toStdString();
  EXPECT_TRUE(err.contains("la protection contre un second lancement est ignorée")) << err.toStdString();
  EXPECT_EQ(velnara.process.state(), QProcess::Running);
}

}  // namespace
