// The installer download with the real downloader against a local update
// site that misbehaves: the window closed (or " Quitter" clicked) while the
// transfer runs, slowly, stalled or between two tries; and a slow, cut or
// stalled transfer that ends well. Whatever happens, only a whole installer
// is ever launched, nothing partial is left under its name, and no transfer
// thread outlives the window.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "UpdateSite.h"
#include "platform/downloader/CurlDownloader.h"
#include "support/TestPlatform.h"
#include "support/http/EventLoop.h"

using namespace std::chrono_literals;

namespace {

const QByteArray kEarlierInstaller = "#!/bin/sh\necho 'version précédente'\n";

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList threadNames() {
  QStringList names;
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    names << QString::fromUtf8(bytesOf(QStringLiteral("/proc/self/task/%1/comm").arg(task)).trimmed());
  return names;
}

// The shell, keeping what the installer held at the moment it was handed over.
class SnapshotShell : public Shell {
 public:
  bool open(const QString&) override { return true; }
  bool runAsAdministrator(const QString& file) override {
    launched.push_back({file, bytesOf(file)});
    return true;
  }
  struct Launch {
    QString file;
    QByteArray content;
  };
  std::vector<Launch> launched;
};

// The window with the update page offering an update from the local site,
// the real downloader behind it, and an installer left by an earlier
// download in the data folder.
class DownloadFaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureCoreApplication(); }

  void SetUp() override {
    site.answer(200, "update");
    site.installer().setDisposition("attachment; filename=\"velna-last.exe\"");
    t.http.answer = "update";
    Platform services = t.services();
    services.downloader = downloader.get();
    services.shell = &shell;
    services.updateUrl = QString::fromStdString(site.pageUrl());
    ppal = std::make_unique<Tppal>(services);
    ppal->FormCreate();
    {
      QFile earlier(ppal->appli_maj_name);
      ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
      earlier.write(kEarlierInstaller);
    }
    ppal->btn_updateClick();
    ASSERT_TRUE(t.view.isButtonVisible(View::Button::btn_update_go)) << ppal->debugLog().plainText().toStdString();
    entriesBefore = entriesOf(dataFolder());
    threadsBefore = threadNames();
  }

  QString dataFolder() const { return ppal->appli_dossier_commun; }
  QString progressText() const { return t.view.editText(View::Edit::txt_suivi_download); }
  int transferThreads() const { return int(threadNames().count(QStringLiteral("velnara-dl"))); }

  // The window goes and everything with it; then no transfer thread, and no
  // thread at all beyond those from before the download, may be left.
  void destroyWindow() {
    ppal.reset();
    downloader.reset();
    EXPECT_EQ(transferThreads(), 0);
    const bool threadsGone = runEventLoopUntil([&] { return threadNames().size() <= threadsBefore.size(); });
    EXPECT_TRUE(threadsGone) << "before: " << threadsBefore.join(u' ').toStdString()
                             << "\nafter: " << threadNames().join(u' ').toStdString();
  }

  // The earlier installer is still there, whole and alone, and was not started.
  void expectNothingLaunchedOrLeft() {
    EXPECT_TRUE(shell.launched.empty()) << "started: " << shell.launched[0].file.toStdString();
    EXPECT_EQ(entriesOf(dataFolder()), entriesBefore);
    EXPECT_EQ(bytesOf(ppal->appli_maj_name), kEarlierInstaller);
  }

  TestPlatform t;
  SnapshotShell shell;
  UpdateSite site{TestCertificate::make("localhost"), testBytes(4 * 1024 * 1024)};
  std::unique_ptr<CurlDownloader> downloader = std::make_unique<CurlDownloader>();
  std::unique_ptr<Tppal> ppal;
  QStringList entriesBefore;
  QStringList threadsBefore;
};

// ---- the window closes while the transfer runs ----

struct Trouble {
  const char* name;
  std::function<void(DownloadSite&)> arrange;
  // True once the transfer is in the state to interrupt.
  std::function<bool(DownloadSite&)> reached;
};

constexpr std::int64_t kCutAfter = 128 * 1024;

const Trouble kTroubles[] = {
    {"bytes_flowing_slowly", [](DownloadSite& site) { site.setPace(2ms); },
     [](DownloadSite& site) { return site.bytesServed() > 0; }},
    {"server_stalled", [](DownloadSite& site) { site.cutConnections(kCutAfter, 1000, /*stallFirst=*/true); },
     [](DownloadSite& site) { return site.bytesServed() >= kCutAfter; }},
    {"waiting_to_try_again_after_a_cut", [](DownloadSite& site) { site.cutConnections(kCutAfter, 1000); },
     [](DownloadSite& site) { return site.bytesServed() >= kCutAfter; }},
};

struct Ending {
  const char* name;
  std::function<void(Tppal&)> close;
};

const Ending kEndings[] = {
    {"window_closed", [](Tppal& ppal) { ppal.FormCloseQuery(); }},
    {"quit_clicked", [](Tppal& ppal) { ppal.btn_quitClick(); }},
};

struct ClosingCase {
  Trouble trouble;
  Ending ending;
};
void PrintTo(const ClosingCase& c, std::ostream* out) { *out << c.ending.name << " while " << c.trouble.name; }

class ClosingDuringDownloadTest : public DownloadFaultTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingDuringDownloadTest, StopsTheTransferAndLaunchesNothing) {
  const ClosingCase& c = GetParam();
  c.trouble.arrange(site.installer());
  ppal->btn_update_goClick();
  ASSERT_TRUE(ppal->downloadInProgress());
  ASSERT_TRUE(runEventLoopUntil([&] { return !progressText().isEmpty() && c.trouble.reached(site.installer()); }))
      << "the transfer never got going";
  ASSERT_GT(transferThreads(), 0);

  c.ending.close(*ppal);
  // Whatever was on its way to the window when the transfer stopped.
  QCoreApplication::processEvents();

  EXPECT_EQ(transferThreads(), 0);
  EXPECT_TRUE(t.view.messages.empty()) << t.view.messages[0].text.toStdString();
  expectNothingLaunchedOrLeft();
  destroyWindow();
}

std::vector<ClosingCase> closingCases() {
  std::vector<ClosingCase> cases;
  for (const Trouble& trouble : kTroubles)
    for (const Ending& ending : kEndings) cases.push_back({trouble, ending});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Update, ClosingDuringDownloadTest, ::testing::ValuesIn(closingCases()),
                         [](const auto& instance) {
                           return std::string(instance.param.ending.name) + "_while_" + instance.param.trouble.name;
                         });

// ---- a troubled transfer that ends well ----

struct Recovery {
  const char* name;
  std::function<void(DownloadSite&, CurlDownloader&)> arrange;
};
void PrintTo(const Recovery& r, std::ostream* out) { *out << r.name; }

class TroubledDownloadTest : public DownloadFaultTest, public ::testing::WithParamInterface<Recovery> {};

TEST_P(TroubledDownloadTest, LaunchesTheWholeInstallerOnce) {
  site.installer().setContent(testBytes(600 * 1024));
  GetParam().arrange(site.installer(), *downloader);
  ppal->btn_update_goClick();
  ASSERT_TRUE(runEventLoopUntil([&] { return !ppal->downloadInProgress(); })) << "the transfer did not end";

  EXPECT_TRUE(t.view.messages.empty()) << t.view.messages[0].text.toStdString();
  ASSERT_EQ(shell.launched.size(), 1u);
  EXPECT_EQ(shell.launched[0].file, ppal->appli_maj_name);
  EXPECT_EQ(shell.launched[0].content, QByteArray::fromStdString(site.installer().content()))
      << "the installer was handed over before it was whole";
  EXPECT_TRUE(ppal->terminateRequested());
  EXPECT_EQ(entriesOf(dataFolder()), entriesBefore) << "something was left beside the installer";
  destroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Update, TroubledDownloadTest,
                         ::testing::Values(Recovery{"slow_server",
                                                    [](DownloadSite& site, CurlDownloader&) { site.setPace(1ms); }},
                                           Recovery{"cut_once_midway",
                                                    [](DownloadSite& site, CurlDownloader& downloader) {
                                                      site.cutConnections(100000, 1);
                                                      downloader.setRetryDelayForTesting(100ms);
                                                    }},
                                           Recovery{"stalled_once_past_the_time_out",
                                                    [](DownloadSite& site, CurlDownloader& downloader) {
                                                      site.cutConnections(100000, 1, /*stallFirst=*/true);
                                                      downloader.setNetworkTimeoutForTesting(1s);
                                                      downloader.setRetryDelayForTesting(100ms);
                                                    }}),
                         [](const auto& instance) { return std::string(instance.param.name); });

}  // namespace
