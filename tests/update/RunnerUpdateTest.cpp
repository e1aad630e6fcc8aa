// velnara-run against a local update site: the on-demand check finds an
// update, the installer is downloaded into the data folder and handed to
// the launch, which cannot elevate here.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UpdateSite.h"
#include "tools/ToolSupport.h"

namespace {

const QString kLaunchErrorBox = QStringLiteral(
    "[Erreur Lancement Mise à Jour...] Impossible de lancer la mise à jour ! \nVeuillez relancer la procédure\n");
const QString kDownloadErrorCaption = QStringLiteral("[Erreur durant le téléchargement...] ");

// The installer the site serves: a script, then bytes of every value.
std::string installerBytes() { return "#!/bin/sh\nexit 0\n" + testBytes(300 * 1024); }

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
  ToolResult updateAndDownload(const std::string& pageUrl) const {
    return runTool(QStringLiteral("velnara-run"),
                   {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--update-url"),
                    QString::fromStdString(pageUrl), QStringLiteral("update"), QStringLiteral("download")});
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

TEST(RunnerUpdate, InstallerArrivesWholeAndItsLaunchFailureIsReported) {
  DemoInstallation install;
  OfferingSite site;
  const QStringList filesBefore = install.dataFiles();

  const ToolResult r = install.updateAndDownload(site.pageUrl());

  EXPECT_EQ(r.exitCode, 1) << "an update found counts as a failed run";
  EXPECT_TRUE(r.out.contains(QStringLiteral("Envoi de la demande\nMise à jour disponible\n") +
                             QString::fromStdString(site.pageUrl()) + QStringLiteral("?l=velna&v=1.09&k=force\n")))
      << r.out.toStdString();
  EXPECT_TRUE(r.err.contains(kLaunchErrorBox)) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains(kDownloadErrorCaption)) << r.err.toStdString();

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
    // Executable: a launch attempt would get past the shell's own checks.
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
  }
  OfferingSite site;
  site.installer().cutConnections(0, 1000);
  const QStringList filesBefore = install.dataFiles();

  const ToolResult r = install.updateAndDownload(site.pageUrl());

  EXPECT_EQ(r.exitCode, 1);
  const qsizetype errorBox = r.err.indexOf(kDownloadErrorCaption);
  const qsizetype launchBox = r.err.indexOf(kLaunchErrorBox);
  ASSERT_GE(errorBox, 0) << r.err.toStdString();
  ASSERT_GT(launchBox, errorBox) << "the launch error box comes after the transfer's errors: " << r.err.toStdString();
  const QString collected = r.err.mid(errorBox + kDownloadErrorCaption.size(),
                                      launchBox - errorBox - kDownloadErrorCaption.size());
  EXPECT_FALSE(collected.trimmed().isEmpty()) << "the error box lists the transfer's errors";

  EXPECT_EQ(install.installerContent(), earlierInstaller);
  EXPECT_EQ(install.dataFiles(), filesBefore) << "no partial file is left behind";
  // The downloader tried again before giving up.
  EXPECT_GE(site.requests("GET").size(), 5u);
}
