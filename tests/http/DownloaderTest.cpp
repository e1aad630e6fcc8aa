#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/file.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "DownloadRecorder.h"
#include "platform/downloader/CurlDownloader.h"
#include "support/http/DownloadSite.h"
#include "support/http/EventLoop.h"
#include "support/http/LocalHttpsServer.h"

using namespace std::chrono_literals;

namespace {

constexpr int kBatch = 1096;
constexpr std::size_t kTenMebibytes = 10 * 1024 * 1024;

QByteArray sha256(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray fileContent(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Threads of the downloader carry this name.
int transferThreadsAlive() {
  int count = 0;
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    if (fileContent(QStringLiteral("/proc/self/task/%1/comm").arg(task)).trimmed() == "velnara-dl") ++count;
  return count;
}

// Each event reads the totals when it runs and each transfer thread waits for
// its event, so two events in a row differ by at most one batch per part.
void expectProgressStepsOfAtMost(const std::vector<DownloadState>& progress, qint64 step) {
  qint64 previous = 0;
  for (const DownloadState& state : progress) {
    ASSERT_GE(state.bytesProceed, previous);
    ASSERT_LE(state.bytesProceed - previous, step);
    ASSERT_GE(state.remainingTime, 0);
    previous = state.bytesProceed;
  }
}

class DownloaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureCoreApplication(); }

  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    folder_ = root_.filePath(QStringLiteral("downloads"));
    outside_ = root_.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(folder_) && QDir().mkpath(outside_));
    server_ = std::make_unique<LocalHttpsServer>(TestCertificate::make("localhost"));
    site_.install(server_->server());
    server_->start();
    downloader_ = std::make_unique<CurlDownloader>();
    downloader_->setLocalFolder(folder_);
    downloader_->setFileName(QStringLiteral("velna-last.exe"));
    downloader_->setEvents(&events_);
    downloader_->setRetryDelayForTesting(20ms);
    downloader_->setNetworkTimeoutForTesting(3s);
  }

  void TearDown() override {
    downloader_->stop();
    site_.release();
  }

  QString url(const std::string& path) const { return QString::fromStdString(server_->url(path)); }

  // Starts a transfer of `address` into the file `name` and runs the
  // window's loop until it ends.
  void download(const QString& address, const QString& name = QStringLiteral("velna-last.exe")) {
    downloader_->setURL(address);
    downloader_->setFileName(name);
    downloader_->start();
    ASSERT_TRUE(runEventLoopUntil([&] { return events_.completions > 0; })) << "the transfer did not end";
  }

  void expectFileIsTheSiteContent(const QString& name) {
    EXPECT_EQ(sha256(fileContent(folder_ + u'/' + name)), sha256(QByteArray::fromStdString(site_.content())));
  }

  DownloadSite site_{testBytes(kTenMebibytes)};
  QTemporaryDir root_;
  QString folder_;
  QString outside_;
  std::unique_ptr<LocalHttpsServer> server_;
  std::unique_ptr<CurlDownloader> downloader_;
  DownloadRecorder events_{[this] { return downloader_->errors(); }};
};

}  // namespace

TEST_F(DownloaderTest, FileArrivesWholeOverTwoRangedConnections) {
  site_.setDisposition("attachment; filename=\"velna-last.exe\"");
  download(url("/dl.php?l=velna&v=1.09&k=force"));

  EXPECT_TRUE(events_.errorTexts.empty()) << events_.errorTexts.front().toStdString();
  EXPECT_EQ(events_.completions, 1);
  EXPECT_EQ(events_.sequence.back(), "completed");
  expectFileIsTheSiteContent(QStringLiteral("velna-last.exe"));
  EXPECT_EQ(entriesOf(folder_), QStringList{QStringLiteral("velna-last.exe")});

  std::vector<std::string> ranges;
  for (const DownloadSite::Request& get : site_.gets()) {
    ranges.push_back(get.range);
    EXPECT_EQ(get.userAgent, "Mozilla/4.0 (compatible; Morvek)");
  }
  std::sort(ranges.begin(), ranges.end());
  EXPECT_EQ(ranges, (std::vector<std::string>{"bytes=0-5242879", "bytes=5242880-10485759"}));

  EXPECT_TRUE(events_.allOnWindowThread);
  ASSERT_FALSE(events_.progress.empty());
  EXPECT_GE(events_.progress.size(), kTenMebibytes / kBatch);
  expectProgressStepsOfAtMost(events_.progress, 2 * kBatch);
  const DownloadState& last = events_.progress.back();
  EXPECT_EQ(last.bytesProceed, static_cast<qint64>(kTenMebibytes));
  EXPECT_EQ(last.resourceSize, static_cast<qint64>(kTenMebibytes));
  EXPECT_EQ(last.remainingTime, 0);
  EXPECT_GT(events_.progress[events_.progress.size() / 2].remainingTime, 0);
}

TEST_F(DownloaderTest, CertificatesMustOnlyNameTheHost) {
  site_.setContent(testBytes(50000));
  LocalHttpsServer expired(TestCertificate::make("localhost", -60, -1));
  site_.install(expired.server());
  expired.start();
  download(QString::fromStdString(expired.url("/files/expired.bin")), QStringLiteral("expired.bin"));
  EXPECT_TRUE(events_.errorTexts.empty());
  expectFileIsTheSiteContent(QStringLiteral("expired.bin"));

  LocalHttpsServer otherHost(TestCertificate::make("other.example"));
  site_.install(otherHost.server());
  otherHost.start();
  site_.forgetRequests();
  events_.clear();
  download(QString::fromStdString(otherHost.url("/files/other.bin")), QStringLiteral("other.bin"));
  EXPECT_EQ(events_.errorTexts.size(), 1u);
  EXPECT_EQ(events_.completions, 1);
  EXPECT_TRUE(site_.requests().empty()) << "nothing may be asked of a server with another name";
  EXPECT_FALSE(QFile::exists(folder_ + QStringLiteral("/other.bin")));
}

TEST_F(DownloaderTest, OneConnectionWhenTheServerCannotShareTheFile) {
  const struct {
    const char* path;
    std::size_t size;
    qint64 announcedSize;
  } cases[] = {
      {"/streamed/file.bin", 3 * 1024 * 1024, 0},             // neither size nor ranges
      {"/sized/file.bin", 3 * 1024 * 1024, 3 * 1024 * 1024},  // size, no ranges
      {"/ranged/small.bin", 2 * kBatch - 1, 2 * kBatch - 1},  // less than two batches
  };
  for (const auto& server : cases) {
    SCOPED_TRACE(server.path);
    site_.setContent(testBytes(server.size));
    site_.forgetRequests();
    events_.clear();
    download(url(server.path), QString::fromUtf8(server.path).section(u'/', -1));

    EXPECT_TRUE(events_.errorTexts.empty());
    const std::vector<DownloadSite::Request> gets = site_.gets();
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(gets[0].range, "");
    expectFileIsTheSiteContent(QString::fromUtf8(server.path).section(u'/', -1));
    ASSERT_FALSE(events_.progress.empty());
    expectProgressStepsOfAtMost(events_.progress, kBatch);
    EXPECT_EQ(events_.progress.back().bytesProceed, static_cast<qint64>(server.size));
    EXPECT_EQ(events_.progress.back().resourceSize, server.announcedSize);
    if (server.announcedSize == 0) {
      for (const DownloadState& state : events_.progress) EXPECT_EQ(state.remainingTime, 0);
    }
  }
}

TEST_F(DownloaderTest, CutOrStalledConnectionIsRetriedFromWhereItStopped) {
  constexpr std::int64_t kCut = 700000;
  const struct {
    const char* what;
    int threads;
    bool stall;
  } cases[] = {
      {"one connection cut", 1, false},
      {"one of two connections cut", 2, false},
      {"one connection stalled past the time-out", 1, true},
  };
  for (const auto& trouble : cases) {
    SCOPED_TRACE(trouble.what);
    site_.forgetRequests();
    site_.cutConnections(kCut, 1, trouble.stall);
    events_.clear();
    downloader_->setThreadCount(trouble.threads);
    downloader_->setNetworkTimeoutForTesting(trouble.stall ? 500ms : 3s);
    download(url("/files/setup.bin"), QStringLiteral("setup.bin"));
    site_.release();

    EXPECT_TRUE(events_.errorTexts.empty());
    expectFileIsTheSiteContent(QStringLiteral("setup.bin"));
    const std::vector<DownloadSite::Request> gets = site_.gets();
    ASSERT_EQ(gets.size(), static_cast<std::size_t>(trouble.threads + 1));
    // The retry asks for the rest of its part only: nothing is fetched twice
    // beyond what the cut connection had in flight.
    const std::string& resumed = gets.back().range;
    ASSERT_EQ(resumed.rfind("bytes=", 0), 0u) << resumed;
    EXPECT_LE(site_.bytesServed(), static_cast<std::int64_t>(kTenMebibytes) + kCut / 2);
    EXPECT_EQ(events_.progress.back().bytesProceed, static_cast<qint64>(kTenMebibytes));
  }
}

TEST_F(DownloaderTest, GivingUpReportsTheCollectedErrorsThenCompletes) {
  const struct {
    const char* what;
    QString address;
    bool cutEveryTime;
    std::size_t expectedGets;
  } cases[] = {
      {"connection cut every time", url("/dl.php?k=force"), true, 5},
      {"closed port", QStringLiteral("https://127.0.0.1:%1/dl.php?k=force").arg(closedPort()), false, 0},
      {"missing file, not worth retrying", url("/missing/dl.php?k=force"), false, 1},
  };
  downloader_->setThreadCount(1);
  site_.setDisposition("attachment; filename=\"velna-last.exe\"");
  for (const auto& failure : cases) {
    SCOPED_TRACE(failure.what);
    QFile earlier(folder_ + QStringLiteral("/velna-last.exe"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
    earlier.write("earlier download");
    earlier.close();
    site_.forgetRequests();
    site_.cutConnections(100000, failure.cutEveryTime ? 1000 : 0);
    events_.clear();
    download(failure.address);

    ASSERT_FALSE(events_.errorTexts.empty());
    for (std::size_t index = 0; index < events_.errorTexts.size(); ++index) {
      // Each error is in Errors by the time its event runs.
      ASSERT_EQ(events_.errorListAtEachError[index].size(), static_cast<qsizetype>(index + 1));
      EXPECT_EQ(events_.errorListAtEachError[index].back(), events_.errorTexts[index]);
    }
    EXPECT_EQ(downloader_->errors().size(), static_cast<qsizetype>(events_.errorTexts.size()));
    EXPECT_EQ(events_.completions, 1);
    EXPECT_EQ(events_.sequence.back(), "completed");
    EXPECT_EQ(site_.gets().size(), failure.expectedGets);
    // The file under the final name is never a partial one.
    EXPECT_EQ(entriesOf(folder_), QStringList{QStringLiteral("velna-last.exe")});
    EXPECT_EQ(fileContent(folder_ + QStringLiteral("/velna-last.exe")), "earlier download");
  }
}

TEST_F(DownloaderTest, ErrorsAreEmptiedWhenATransferStarts) {
  download(url("/missing/file.bin"), QStringLiteral("file.bin"));
  ASSERT_FALSE(downloader_->errors().isEmpty());

  events_.clear();
  site_.setContent(testBytes(5000));
  downloader_->setURL(url("/files/file.bin"));
  downloader_->start();
  EXPECT_TRUE(downloader_->errors().isEmpty());
  ASSERT_TRUE(runEventLoopUntil([&] { return events_.completions > 0; }));
  EXPECT_TRUE(downloader_->errors().isEmpty());
}

TEST_F(DownloaderTest, StartWhileBusyIsRefused) {
  site_.setPace(2ms);
  downloader_->setURL(url("/files/slow.bin"));
  downloader_->setFileName(QStringLiteral("slow.bin"));
  downloader_->start();
  try {
    downloader_->start();
    FAIL() << "a second start was accepted";
  } catch (const std::runtime_error& refusal) {
    EXPECT_STREQ(refusal.what(), "Operation is in progress");
  }
  EXPECT_TRUE(downloader_->errors().isEmpty()) << "the refusal is not an error of the transfer";
}

TEST_F(DownloaderTest, TransferStartedFromTheEndHandlerIsBusyUntilItEnds) {
  site_.setContent(testBytes(5000));
  downloader_->setURL(url("/files/first.bin"));
  downloader_->setFileName(QStringLiteral("first.bin"));
  events_.duringNextCompletion = [&] {
    downloader_->stop();
    site_.setPace(2ms);
    downloader_->setURL(url("/files/second.bin"));
    downloader_->setFileName(QStringLiteral("second.bin"));
    downloader_->start();
  };
  downloader_->start();
  ASSERT_TRUE(runEventLoopUntil([&] { return events_.completions > 0; }));
  EXPECT_THROW(downloader_->start(), std::runtime_error);
  downloader_->stop();
  EXPECT_TRUE(QFile::exists(folder_ + QStringLiteral("/first.bin")));
}

TEST_F(DownloaderTest, StopEndsTheTransferAndItsThreads) {
  site_.setPace(2ms);
  downloader_->setFileName(QStringLiteral("slow.bin"));
  for (const bool fromHandler : {false, true}) {
    SCOPED_TRACE(fromHandler ? "stop inside a progress handler" : "stop between events");
    events_.clear();
    bool stopped = false;
    if (fromHandler) {
      events_.duringNextProgress = [&] {
        downloader_->stop();
        stopped = true;
      };
    }
    downloader_->setURL(url("/files/slow.bin"));
    downloader_->start();
    ASSERT_TRUE(runEventLoopUntil([&] { return events_.progress.size() >= 3 || stopped; }));
    if (!fromHandler) downloader_->stop();

    EXPECT_EQ(transferThreadsAlive(), 0);
    const std::size_t eventsAtStop = events_.sequence.size();
    runEventLoopFor(300ms);
    EXPECT_EQ(events_.sequence.size(), eventsAtStop) << "an event came after stop()";
    EXPECT_EQ(events_.completions, 0);
    EXPECT_TRUE(entriesOf(folder_).isEmpty()) << entriesOf(folder_).join(u' ').toStdString();
  }
  downloader_->start();  // not busy any more
  downloader_->stop();
}

TEST_F(DownloaderTest, FileNameLeavingTheFolderIsRefused) {
  const std::string absolute = QDir(outside_).filePath(QStringLiteral("x.exe")).toStdString();
  const std::string dispositions[] = {
      "attachment; filename=\"../x.exe\"",     "attachment; filename=\"" + absolute + "\"",
      "attachment; filename=\"a/b.exe\"",      "attachment; filename=\"..\"",
      "attachment; filename=\"..\\\\x.exe\"",  "attachment; filename*=UTF-8''..%2Fx.exe",
      "attachment; filename*=UTF-8''x%00.exe",
  };
  for (const char* path : {"/dl.php?k=force", "/nohead/dl.php?k=force"}) {
    for (const std::string& disposition : dispositions) {
      SCOPED_TRACE(std::string(path) + " " + disposition);
      site_.setContent(testBytes(50000));
      site_.setDisposition(disposition);
      site_.forgetRequests();
      events_.clear();
      download(url(path));

      EXPECT_EQ(events_.errorTexts.size(), 1u);
      EXPECT_EQ(events_.completions, 1);
      EXPECT_EQ(entriesOf(root_.path()), (QStringList{QStringLiteral("downloads"), QStringLiteral("outside")}));
      EXPECT_TRUE(entriesOf(folder_).isEmpty());
      EXPECT_TRUE(entriesOf(outside_).isEmpty());
      if (std::string(path).rfind("/nohead", 0) != 0) {
        EXPECT_TRUE(site_.gets().empty()) << "a refused name stops the transfer before any byte";
      }
    }
  }
}

// The file gets the expected name and nothing else is written: a server
// that names another file, or none, is refused before a byte of the body is
// written, without another try.
TEST_F(DownloaderTest, OnlyTheExpectedFileIsWritten) {
  const struct {
    const char* path;
    const char* disposition;
    bool accepted;
    std::size_t refusedGets;  // one per part asked before the refusal; a retry would ask again
  } cases[] = {
      {"/dl.php?l=velna&v=1.09&k=force", "attachment; filename=\"velna-last.exe\"", true, 0},
      {"/dl.php?k=force", "attachment; filename=\"VELNA-LAST.EXE\"", true, 0},
      {"/dl.php?k=force", "attachment; filename*=UTF-8''Velna-Last.exe", true, 0},
      {"/files/velna-last.exe", "", true, 0},
      {"/dl.php?k=force", "attachment; filename=\"velna.mvd\"", false, 0},
      {"/nohead/dl.php?k=force", "attachment; filename=\"velna.mvd\"", false, 1},  // named by the GET only
      {"/sized/dl.php?k=force", "", false, 1},
      {"/nohead/dl.php?k=force", "", false, 1},
      {"/files/velna-last.exe", "attachment; filename=\"velnara.pdf\"", false, 0},
      {"/files/setup.bin", "", false, 0},
  };
  site_.setContent(testBytes(20000));
  for (const auto& offer : cases) {
    SCOPED_TRACE(std::string(offer.path) + " " + offer.disposition);
    const QString database = folder_ + QStringLiteral("/velna.mvd");
    QFile::remove(folder_ + QStringLiteral("/velna-last.exe"));
    {
      QFile earlier(database);
      ASSERT_TRUE(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
      earlier.write("the configuration");
    }
    site_.setDisposition(offer.disposition);
    site_.forgetRequests();
    events_.clear();
    download(url(offer.path));

    EXPECT_EQ(fileContent(database), "the configuration");
    if (offer.accepted) {
      EXPECT_TRUE(events_.errorTexts.empty()) << events_.errorTexts.front().toStdString();
      EXPECT_EQ(entriesOf(folder_), (QStringList{QStringLiteral("velna-last.exe"), QStringLiteral("velna.mvd")}));
      expectFileIsTheSiteContent(QStringLiteral("velna-last.exe"));
    } else {
      ASSERT_EQ(events_.errorTexts.size(), 1u);
      EXPECT_TRUE(events_.errorTexts[0].endsWith(QStringLiteral("téléchargement refusé")))
          << events_.errorTexts[0].toStdString();
      EXPECT_TRUE(events_.progress.empty()) << "a byte of the refused file was written";
      EXPECT_EQ(entriesOf(folder_), QStringList{QStringLiteral("velna.mvd")});
      EXPECT_EQ(site_.gets().size(), offer.refusedGets) << "a refusal is not tried again";
    }
  }
}

// What killed transfers left is removed when a transfer starts: only files
// named as the downloader names its temporary files, and none that a
// transfer still holds.
TEST_F(DownloaderTest, TemporaryFilesLeftBehindAreRemovedAtTheNextStart) {
  const QStringList leftovers{QStringLiteral(".download-0123456789abcdef.part"),
                              QStringLiteral(".download-fedcba9876543210.part")};
  const QStringList others{QStringLiteral(".download-0123456789abcde.part"),
                           QStringLiteral(".download-0123456789ABCDEF.part"),
                           QStringLiteral(".download-0123456789abcdef.part.1"),
                           QStringLiteral("download-0123456789abcdef.part"),
                           QStringLiteral("x.download-0123456789abcdef.part"),
                           QStringLiteral(".download-held0123456789.part"),
                           QStringLiteral("velna.mvd")};
  for (const QString& name : leftovers + others) {
    QFile file(folder_ + u'/' + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("left");
  }
  // Named as the downloader names its files, but held as a running transfer holds it.
  const QString held = QStringLiteral(".download-00000000000000aa.part");
  QFile heldFile(folder_ + u'/' + held);
  ASSERT_TRUE(heldFile.open(QIODevice::WriteOnly));
  ASSERT_EQ(::flock(heldFile.handle(), LOCK_EX | LOCK_NB), 0);

  site_.setContent(testBytes(5000));
  download(url("/files/velna-last.exe"));

  EXPECT_TRUE(events_.errorTexts.empty());
  QStringList expected = others + QStringList{held, QStringLiteral("velna-last.exe")};
  expected.sort();
  EXPECT_EQ(entriesOf(folder_), expected);
}
