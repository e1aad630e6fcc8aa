// velnara-run against a local update site: the on-demand check finds an
// update, the installer is downloaded into the data folder and handed to
// pkexec. The pkexec found first on the runner's PATH is one of the test's
// own: it records how it was called, starts nothing, and accepts or refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "UpdateSite.h"
#include "support/ToolSupport.h"

using namespace std::chrono_literals;

namespace {

const QString kLaunchErrorBox = QStringLiteral(
    "[Erreur Lancement Mise à Jour...] Impossible de lancer la mise à jour ! \nVeuillez relancer la procédure\n");
const QString kDownloadErrorCaption = QStringLiteral("[Erreur durant le téléchargement...] ");

// The installer the site serves: a script, then bytes of every value.
std::string installerBytes() { return "#!/bin/sh\nexit 0\n" + testBytes(300 * 1024); }

class FakePkexec {
 public:
  struct Call {
    bool runnable = false;  // the file could be run when pkexec got it
    QStringList arguments;
  };

  explicit FakePkexec(int exitCode) {
    QFile script(folder_.filePath(QStringLiteral("pkexec")));
    script.open(QIODevice::WriteOnly);
    // Written aside then renamed, so that a reader never sees half a record.
    script.write(QStringLiteral("#!/bin/sh\n"
                                "{ if [ -x \"$1\" ]; then echo runnable; else echo not-runnable; fi\n"
                                "  for a in \"$@\"; do echo \"$a\"; done; } > '%1.part' && mv '%1.part' '%1'\n"
                                "exit %2\n")
                     .arg(record(), QString::number(exitCode))
                     .toUtf8());
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
  }
  QString folder() const { return folder_.path(); }

  // The call it received, waiting up to `limit` for it: pkexec is started
  // detached, so it may still be on its way when the runner has ended.
  std::optional<Call> call(std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    QFile file(record());
    while (!file.exists() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(20ms);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty()) return std::nullopt;
    const bool runnable = lines.takeFirst() == QStringLiteral("runnable");
    return Call{runnable, lines};
  }

 private:
  QString record() const { return folder_.filePath(QStringLiteral("calls")); }
  QTemporaryDir folder_;
};

struct DemoInstallation {
  DemoInstallation() {
    const ToolResult setup = setUpDemo(cad.path());
    EXPECT_EQ(setup.exitCode, 0) << setup.err.toStdString();
  }
  QString dataFolder() const { return cad.path() + QStringLiteral("/Trelvo/velna"); }
  QString installer() const { return dataFolder() + QStringLiteral("/velna-last.exe"); }
  QStringList dataFiles() const { return QDir(dataFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
  QByteArray installerContent() const {
    QFile file(installer());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // velnara-run --update-url URL update download, with the fake pkexec first
  // on its PATH and a short wait between the downloader's tries.
  ToolResult updateAndDownload(const std::string& pageUrl, const FakePkexec& pkexec) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), pkexec.folder() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELNARA_BIN_DIR "/velnara-run"),
            {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--update-url"),
             QString::fromStdString(pageUrl), QStringLiteral("--retry-delay-ms"), QStringLiteral("50"),
             QStringLiteral("update"), QStringLiteral("download")});
    p.waitForFinished(180000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
  }
  QTemporaryDir cad;
};

// An update site that offers an update and names its installer velna-last.exe.
struct OfferingSite : UpdateSite {
  OfferingSite() : UpdateSite(TestCertificate::make("localhost"), installerBytes()) {
    answer(200, "update");
    installer().setDisposition("attachment; filename=\"velna-last.exe\"");
  }
  std::string downloadTarget() const { return std::string(kPagePath) + "?l=velna&v=1.09&k=force"; }
};

}  // namespace

TEST(RunnerUpdate, InstallerArrivesWholeAndIsHandedToPkexec) {
  DemoInstallation install;
  OfferingSite site;
  const FakePkexec pkexec(0);
  const QStringList filesBefore = install.dataFiles();

  const ToolResult r = install.updateAndDownload(site.pageUrl(), pkexec);

  // The installer started: the runner ends there. The update found still
  // counts as a failed run.
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.contains(QStringLiteral("Envoi de la demande\nMise à jour disponible\n") +
                             QString::fromStdString(site.pageUrl()) + QStringLiteral("?l=velna&v=1.09&k=force\n")))
      << r.out.toStdString();
  EXPECT_FALSE(r.err.contains(QStringLiteral("[Erreur"))) << r.err.toStdString();

  const std::optional<FakePkexec::Call> call = pkexec.call(10s);
  ASSERT_TRUE(call) << "pkexec was not started";
  EXPECT_EQ(call->arguments, QStringList{install.installer()}) << "the installer is pkexec's only argument";
  EXPECT_TRUE(call->runnable);

  EXPECT_EQ(install.installerContent(), QByteArray::fromStdString(installerBytes()));
  QStringList expectedFiles = filesBefore;
  if (!expectedFiles.contains(QStringLiteral("velna-last.exe"))) expectedFiles << QStringLiteral("velna-last.exe");
  expectedFiles.sort();
  EXPECT_EQ(install.dataFiles(), expectedFiles) << "nothing but the installer is left in the data folder";

  // One form post, then the download URL fetched in two ranged parts with
  // the downloader's agent.
  const auto posts = site.requests("POST");
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].body, "logiciel=velna&version=1.09");
  const auto gets = site.requests("GET");
  ASSERT_FALSE(gets.empty());
  std::set<std::string> ranges;
  for (const auto& get : gets) {
    EXPECT_EQ(get.target, site.downloadTarget());
    EXPECT_EQ(get.userAgent, "Mozilla/4.0 (compatible; Morvek)");
    ranges.insert(get.range);
  }
  const size_t size = installerBytes().size();
  EXPECT_EQ(ranges, (std::set<std::string>{"bytes=0-" + std::to_string(size / 2 - 1),
                                           "bytes=" + std::to_string(size / 2) + "-" + std::to_string(size - 1)}));
}

// pkexec ends at once with 126 when the user dismisses the password prompt
// (127 when it cannot ask at all, as on a machine without a polkit agent):
// the installer never started, so the program must say so and stay.
TEST(RunnerUpdate, RefusedElevationShowsTheLaunchErrorAndTheProgramStays) {
  DemoInstallation install;
  OfferingSite site;
  const FakePkexec pkexec(126);

  const ToolResult r = install.updateAndDownload(site.pageUrl(), pkexec);

  EXPECT_TRUE(pkexec.call(10s).has_value()) << "pkexec was not started";
  EXPECT_TRUE(r.err.contains(kLaunchErrorBox)) << r.err.toStdString();
  EXPECT_EQ(install.installerContent(), QByteArray::fromStdString(installerBytes()));
}

// The server cuts every transfer before its first byte. After the
// downloader's own tries the collected errors are shown; the installer left
// by an earlier download is never started.
TEST(RunnerUpdate, CutTransferShowsItsErrorsAndNeverLaunchesWhatIsOnDisk) {
  DemoInstallation install;
  const QByteArray earlierInstaller("#!/bin/sh\necho 'version précédente'\n");
  {
    QFile file(install.installer());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(earlierInstaller);
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
  }
  OfferingSite site;
  site.installer().cutConnections(0, 1000);
  const FakePkexec pkexec(0);
  const QStringList filesBefore = install.dataFiles();

  const ToolResult r = install.updateAndDownload(site.pageUrl(), pkexec);

  EXPECT_EQ(r.exitCode, 1);
  const qsizetype errorBox = r.err.indexOf(kDownloadErrorCaption);
  const qsizetype launchBox = r.err.indexOf(kLaunchErrorBox);
  ASSERT_GE(errorBox, 0) << r.err.toStdString();
  ASSERT_GT(launchBox, errorBox) << "the launch error box comes after the transfer's errors: " << r.err.toStdString();
  const QString collected =
      r.err.mid(errorBox + kDownloadErrorCaption.size(), launchBox - errorBox - kDownloadErrorCaption.size());
  EXPECT_TRUE(collected.startsWith(QStringLiteral("Échec du transfert : ")))
      << "the error box says in French what failed: " << collected.toStdString();
  EXPECT_FALSE(pkexec.call(1s).has_value()) << "a failed transfer must not launch anything";

  EXPECT_EQ(install.installerContent(), earlierInstaller);
  EXPECT_EQ(install.dataFiles(), filesBefore) << "no partial file is left behind";
  // The downloader tried again before giving up.
  EXPECT_GE(site.requests("GET").size(), 5u);
}

// A server playing the update site names the configuration database instead
// of the installer: nothing of its file is written, nothing is started, and
// the database holds what it held, the date of the check aside.
TEST(RunnerUpdate, ServerNamingAnotherFileIsRefusedBeforeAnyByteIsWritten) {
  DemoInstallation install;
  OfferingSite site;
  site.installer().setDisposition("attachment; filename=\"velna.mvd\"");
  const FakePkexec pkexec(0);
  const QStringList filesBefore = install.dataFiles();
  std::map<QString, QByteArray> bytesBefore;
  for (const QString& name : filesBefore) bytesBefore[name] = fileBytes(install.dataFolder() + QLatin1Char('/') + name);

  const ToolResult r = install.updateAndDownload(site.pageUrl(), pkexec);

  EXPECT_TRUE(
      r.err.contains(kDownloadErrorCaption +
                     QStringLiteral("Le serveur propose le fichier \"velna.mvd\" au lieu de \"velna-last.exe\" : "
                                    "téléchargement refusé\n")))
      << r.err.toStdString();
  EXPECT_FALSE(pkexec.call(1s).has_value()) << "a refused transfer must not launch anything";
  EXPECT_EQ(install.dataFiles(), filesBefore) << "no file was added or left behind";
  EXPECT_EQ(storedUpdateDate(install.dataFolder() + QStringLiteral("/velna.mvd")),
            QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
  for (const auto& [name, bytes] : bytesBefore) {
    if (name == QStringLiteral("velna.mvd")) continue;
    EXPECT_EQ(fileBytes(install.dataFolder() + QLatin1Char('/') + name), bytes) << name.toStdString();
  }
  EXPECT_TRUE(site.requests("GET").empty()) << "the name was refused before the body was asked for";
}
