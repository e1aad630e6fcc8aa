// The installer launch as an ordinary user of a workstation, where pkexec is
// setuid root: the elevated process is closed to the user who started it.
// The program must see the installer start without waiting for its end, and
// tell pkexec's refusal from an installer that failed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "UpdateSite.h"
#include "support/OrdinaryUser.h"

using namespace std::chrono_literals;

namespace {

const QString kElevationErrorBox =
    QStringLiteral("[Erreur Lancement Mise à Jour...] Impossible de lancer la mise à jour !");

bool waitForFile(const QString& path, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!QFileInfo::exists(path) && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(20ms);
  return QFileInfo::exists(path);
}

// The test's pkexec, root's and setuid like Debian's, alone in a folder that
// goes first on the program's PATH.
class SetuidPkexec {
 public:
  explicit SetuidPkexec(bool refuses) {
    const QString pkexec = folder_.filePath(QStringLiteral("pkexec"));
    const QByteArray name = QFile::encodeName(pkexec);
    ready_ = QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/test-fake-pkexec"), pkexec) &&
             ::chown(name.constData(), 0, 0) == 0 && ::chmod(name.constData(), 04755) == 0 &&
             ::chmod(QFile::encodeName(folder_.path()).constData(), 0755) == 0;
    if (refuses) ready_ = ready_ && QFile(folder_.filePath(QStringLiteral("refuse"))).open(QIODevice::WriteOnly);
  }
  bool ready() const { return ready_; }
  QString folder() const { return folder_.path(); }
  // What it wrote about itself: "euid=0 uid=65534" when it ran setuid for
  // an ordinary user.
  QString record() const { return QString::fromUtf8(fileBytes(folder_.filePath(QStringLiteral("record")))).trimmed(); }

 private:
  QTemporaryDir folder_;
  bool ready_ = false;
};

// An installer that reports its start and then runs until it is released.
struct SlowInstaller {
  std::string script() const {
    const std::string marks = QFile::encodeName(marks_.path()).toStdString();
    return "#!/bin/sh\necho started > '" + marks + "/started'\nwhile [ ! -e '" + marks +
           "/release' ]; do sleep 0.05; done\necho finished > '" + marks + "/finished'\nexit " +
           std::to_string(exitCode) + "\n";
  }
  QString mark(const char* name) const { return marks_.filePath(QString::fromLatin1(name)); }
  void release() const { QFile(mark("release")).open(QIODevice::WriteOnly); }

  int exitCode = 0;
  QTemporaryDir marks_;
};

// The product's update site offering that installer.
struct InstallerOffer : UpdateSite {
  explicit InstallerOffer(const std::string& installer) : UpdateSite(TestCertificate::make("localhost"), installer) {
    answer(200, "update");
    this->installer().setDisposition("attachment; filename=\"velna-last.exe\"");
  }
};

// " Mise à Jour" then " Télécharger", by an ordinary user of the group.
class ElevationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const QString why = whyNotAsOrdinaryUser(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(install_.shared);
  }

  // Starts the download; the caller waits for the runner.
  void startUpdate(QProcess& runner, const SetuidPkexec& pkexec, const InstallerOffer& site) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), pkexec.folder() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    runner.setProcessEnvironment(env);
    startAs(runner, {65534, kDataGroup}, QStringLiteral(VELNARA_BIN_DIR "/velnara-run"),
            {QStringLiteral("--common-data"), install_.cad.path(), QStringLiteral("--update-url"),
             QString::fromStdString(site.pageUrl()), QStringLiteral("--retry-delay-ms"), QStringLiteral("50"),
             QStringLiteral("update"), QStringLiteral("download")});
  }

  SharedInstallation install_;
};

}  // namespace

TEST_F(ElevationTest, TheProgramEndsOnceTheInstallerRunsWithoutWaitingForIt) {
  SlowInstaller installer;
  const InstallerOffer site(installer.script());
  const SetuidPkexec pkexec(false);
  ASSERT_TRUE(pkexec.ready());

  QProcess runner;
  startUpdate(runner, pkexec, site);
  const bool ended = runner.waitForFinished(90000);
  // Whatever happened, the installer is let go before the checks.
  const bool stillRunning = !QFileInfo::exists(installer.mark("finished"));
  installer.release();
  if (!ended) runner.waitForFinished(30000);
  const QString err = QString::fromUtf8(runner.readAllStandardError());

  if (pkexec.record().startsWith(QStringLiteral("euid=65534")))
    GTEST_SKIP() << "setuid programs do not run setuid here (a nosuid mount?)";
  EXPECT_EQ(pkexec.record(), QStringLiteral("euid=0 uid=65534"));
  ASSERT_TRUE(ended) << "the program waited for the installer to finish: " << err.toStdString()
                     << runner.readAllStandardOutput().toStdString();
  EXPECT_TRUE(waitForFile(installer.mark("started"), 30s)) << "the installer never started";
  EXPECT_TRUE(stillRunning) << "the program ended only after the installer";
  EXPECT_FALSE(err.contains(kElevationErrorBox)) << err.toStdString();
  EXPECT_TRUE(waitForFile(installer.mark("finished"), 30s));
}

TEST_F(ElevationTest, OnlyPkexecsRefusalIsALaunchFailure) {
  struct Case {
    const char* what;
    bool refuses;
    int installerExit;
    bool launchError;
  };
  for (const Case c :
       {Case{"authorisation refused", true, 0, true}, Case{"installer that fails at once", false, 3, false}}) {
    SlowInstaller installer;
    installer.exitCode = c.installerExit;
    installer.release();  // it ends as soon as it starts
    const InstallerOffer site(installer.script());
    const SetuidPkexec pkexec(c.refuses);
    ASSERT_TRUE(pkexec.ready());

    QProcess runner;
    startUpdate(runner, pkexec, site);
    ASSERT_TRUE(runner.waitForFinished(90000)) << c.what;
    const QString err = QString::fromUtf8(runner.readAllStandardError());
    if (pkexec.record().startsWith(QStringLiteral("euid=65534")))
      GTEST_SKIP() << "setuid programs do not run setuid here (a nosuid mount?)";
    EXPECT_EQ(err.contains(kElevationErrorBox), c.launchError) << c.what << ": " << err.toStdString();
    EXPECT_EQ(QFileInfo::exists(installer.mark("started")), !c.refuses) << c.what;
  }
}
