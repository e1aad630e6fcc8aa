// Downloads one 100 MiB file from a local server with our downloader, with
// the curl command and with aria2c over two connections, in one run, over
// HTTP and over HTTPS, and reports the throughput of each and the ratios.
//
//     cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNARA_BUILD_BENCH=ON
//     cmake --build build-bench --target bench_download
//     build-bench/bin/bench_download [--size-mib N] [--repetitions N]
//
// Everything stays on 127.0.0.1. Every download is checked byte for byte
// after its timing. A peer whose command is missing is skipped with a note.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <httplib.h>

#include "platform/downloader/CurlDownloader.h"
#include "support/http/TestCertificate.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kFileName = "velna-last.bin";
constexpr auto kRunLimit = 120s;  // a download slower than this is abandoned

struct Options {
  int sizeMib = 100;
  int repetitions = 3;
};

std::string randomBytes(std::size_t size) {
  std::mt19937_64 generator(20210622);
  std::string bytes(size, '\0');
  for (std::size_t at = 0; at + 8 <= size; at += 8) {
    const std::uint64_t word = generator();
    std::memcpy(bytes.data() + at, &word, 8);
  }
  return bytes;
}

// ---- the server: one file, with its size and ranges, over HTTP or HTTPS ----

class FileServer {
 public:
  FileServer(const std::string& content, const TestCertificate* certificate) : content_(content) {
    if (certificate)
      server_ = std::make_unique<httplib::SSLServer>(certificate->certificate.get(), certificate->key.get());
    else
      server_ = std::make_unique<httplib::Server>();
    server_->Get(std::string("/") + kFileName, [this](const httplib::Request&, httplib::Response& response) {
      response.set_header("Accept-Ranges", "bytes");
      response.set_content_provider(content_.size(), "application/octet-stream",
                                    [this](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      const std::size_t piece = std::min<std::size_t>(length, 256 * 1024);
                                      return sink.write(content_.data() + offset, piece);
                                    });
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(1ms);
    url_ = std::string(certificate ? "https" : "http") + "://localhost:" + std::to_string(port_) + "/" + kFileName;
  }
  ~FileServer() {
    server_->stop();
    thread_.join();
  }
  const std::string& url() const { return url_; }

 private:
  const std::string& content_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = -1;
  std::thread thread_;
  std::string url_;
};

// ---- the peers ----

struct FetchResult {
  bool succeeded = false;  // as the peer says
  long events = 0;         // progress events handled (our downloader only)
};

// One way of fetching the URL into a folder.
struct Peer {
  std::string name;
  std::function<FetchResult(const std::string& url, const QString& folder)> fetch;
  QString missing;  // why it is skipped, when it is
};

// The program's downloader handler does this much per progress event: the
// progress text with the user's separators.
class ProgressText : public DownloaderEvents {
 public:
  void onDataItemProceed(const DownloadState& state) override {
    ++events;
    text = locale_.toString(double(state.bytesProceed) / 1024, 'f', 2) + QStringLiteral(" sur ") +
           locale_.toString(double(state.resourceSize) / 1024, 'f', 2) + QStringLiteral(" Kb fait, temps restant ") +
           locale_.toString(state.remainingTime / 60, 'f', 2) + QStringLiteral(" min");
  }
  void onError(const QString& error, int) override { std::fprintf(stderr, "  error: %s\n", qPrintable(error)); }
  void onProcessCompleted() override { done = true; }

  long events = 0;
  bool done = false;
  QString text;

 private:
  QLocale locale_;
};

FetchResult fetchWithOurs(const std::string& url, const QString& folder, int batchSize, int threadCount) {
  CurlDownloader downloader;
  ProgressText progress;
  downloader.setEvents(&progress);
  downloader.setURL(QString::fromStdString(url));
  downloader.setLocalFolder(folder);
  downloader.setBatchSize(batchSize);
  downloader.setThreadCount(threadCount);
  downloader.setInternetAgent(QStringLiteral("Mozilla/4.0 (compatible; Morvek)"));
  downloader.start();
  const auto limit = Clock::now() + kRunLimit;
  while (!progress.done && Clock::now() < limit) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  if (!progress.done) downloader.stop();
  return {progress.done && downloader.errors().isEmpty(), progress.events};
}

bool runCommand(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, arguments);
  if (!process.waitForFinished(int(std::chrono::milliseconds(kRunLimit).count()))) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

Peer commandPeer(const std::string& name, const QString& command, const QString& package,
                 std::function<QStringList(const std::string&, const QString&)> arguments) {
  const QString program = QStandardPaths::findExecutable(command);
  Peer peer{name, nullptr, {}};
  if (program.isEmpty()) {
    peer.missing = command + QStringLiteral(" not found (Debian package ") + package + QLatin1Char(')');
    return peer;
  }
  peer.fetch = [program, arguments](const std::string& url, const QString& folder) {
    return FetchResult{runCommand(program, arguments(url, folder)), 0};
  };
  return peer;
}

std::vector<Peer> peers() {
  std::vector<Peer> all;
  // The program's settings first: the ratios are taken against them.
  const struct {
    const char* name;
    int batch, threads;
  } ours[] = {{"ours, batch 1096 x 2 (the program)", 1096, 2},
              {"ours, batch 65536 x 2", 65536, 2},
              {"ours, batch 65536 x 1", 65536, 1}};
  for (const auto& o : ours)
    all.push_back(
        {o.name,
         [o](const std::string& url, const QString& folder) { return fetchWithOurs(url, folder, o.batch, o.threads); },
         {}});
  all.push_back(commandPeer("curl", QStringLiteral("curl"), QStringLiteral("curl"),
                            [](const std::string& url, const QString& folder) {
                              return QStringList{QStringLiteral("-sS"),
                                                 QStringLiteral("--fail"),
                                                 QStringLiteral("-k"),
                                                 QStringLiteral("-o"),
                                                 folder + QLatin1Char('/') + QLatin1String(kFileName),
                                                 QString::fromStdString(url)};
                            }));
  all.push_back(commandPeer("aria2c -x2 -s2", QStringLiteral("aria2c"), QStringLiteral("aria2"),
                            [](const std::string& url, const QString& folder) {
                              return QStringList{QStringLiteral("-q"),
                                                 QStringLiteral("-x2"),
                                                 QStringLiteral("-s2"),
                                                 QStringLiteral("--check-certificate=false"),
                                                 QStringLiteral("--disable-ipv6=true"),
                                                 QStringLiteral("--allow-overwrite=true"),
                                                 QStringLiteral("--auto-file-renaming=false"),
                                                 QStringLiteral("-d"),
                                                 folder,
                                                 QStringLiteral("-o"),
                                                 QLatin1String(kFileName),
                                                 QString::fromStdString(url)};
                            }));
  return all;
}

// ---- measuring ----

bool sameAs(const QString& path, const std::string& content) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  return bytes.size() == qsizetype(content.size()) &&
         std::memcmp(bytes.constData(), content.data(), content.size()) == 0;
}

struct Row {
  std::string name;
  std::optional<double> seconds;  // median; nothing when a run failed
  long events = 0;                // per run
  QString missing;
};

void measure(const Peer& peer, const std::string& url, const std::string& content, int repetitions, Row& row) {
  std::vector<double> seconds;
  for (int run = 0; run < repetitions; ++run) {
    QTemporaryDir folder;
    const auto start = Clock::now();
    const FetchResult result = peer.fetch(url, folder.path());
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!result.succeeded || !sameAs(folder.filePath(QLatin1String(kFileName)), content)) {
      std::fprintf(stderr, "  %s: run %d failed or gave a different file\n", peer.name.c_str(), run + 1);
      return;
    }
    seconds.push_back(elapsed);
    row.events = result.events;
  }
  std::sort(seconds.begin(), seconds.end());
  row.seconds = seconds[seconds.size() / 2];
}

void printTable(const char* protocol, const std::vector<Row>& rows, int sizeMib, int repetitions) {
  std::printf("\n%s, %d MiB from 127.0.0.1, median of %d\n", protocol, sizeMib, repetitions);
  std::printf("%-36s %10s %10s %12s %10s\n", "peer", "seconds", "MiB/s", "ours/peer", "events");
  const std::optional<double> ours = rows.front().seconds;
  for (const Row& row : rows) {
    if (!row.missing.isEmpty()) {
      std::printf("%-36s skipped: %s\n", row.name.c_str(), qPrintable(row.missing));
    } else if (!row.seconds) {
      std::printf("%-36s failed\n", row.name.c_str());
    } else if (ours) {
      // Ratio of throughputs: above 1, ours is faster.
      std::printf("%-36s %10.3f %10.1f %12.2f %10ld\n", row.name.c_str(), *row.seconds, sizeMib / *row.seconds,
                  *row.seconds / *ours, row.events);
    } else {
      std::printf("%-36s %10.3f %10.1f %12s %10ld\n", row.name.c_str(), *row.seconds, sizeMib / *row.seconds, "-",
                  row.events);
    }
  }
}

void benchProtocol(const char* protocol, const TestCertificate* certificate, const std::string& content,
                   const Options& options) {
  FileServer server(content, certificate);
  std::vector<Row> rows;
  for (const Peer& peer : peers()) {
    Row row{peer.name, std::nullopt, 0, peer.missing};
    if (row.missing.isEmpty()) measure(peer, server.url(), content, options.repetitions, row);
    rows.push_back(row);
  }
  printTable(protocol, rows, options.sizeMib, options.repetitions);
}

bool parse(const QStringList& arguments, Options& options) {
  for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
    bool ok = false;
    const int value = arguments[i + 1].toInt(&ok);
    if (!ok || value < 1) return false;
    if (arguments[i] == QStringLiteral("--size-mib"))
      options.sizeMib = value;
    else if (arguments[i] == QStringLiteral("--repetitions"))
      options.repetitions = value;
    else
      return false;
  }
  return arguments.size() % 2 == 1;
}

void printLoad() {
  QFile load(QStringLiteral("/proc/loadavg"));
  if (load.open(QIODevice::ReadOnly)) std::printf("load average before the run: %s", load.readLine().constData());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Options options;
  if (!parse(app.arguments(), options)) {
    std::fputs("usage: bench_download [--size-mib N] [--repetitions N]\n", stderr);
    return 2;
  }
  for (const Peer& peer : peers())
    if (!peer.missing.isEmpty()) std::printf("skipping %s: %s\n", peer.name.c_str(), qPrintable(peer.missing));
  printLoad();
  const std::string content = randomBytes(std::size_t(options.sizeMib) * 1024 * 1024);
  const TestCertificate certificate = TestCertificate::make("localhost");
  benchProtocol("HTTP", nullptr, content, options);
  benchProtocol("HTTPS", &certificate, content, options);
  return 0;
}
