#pragma once

#include <QString>
#include <QStringList>

// What the program transfers with; a new downloader starts with the same.
namespace download_defaults {
inline constexpr int kBatchSize = 1096;  // bytes per network read, one progress event each
inline constexpr int kThreadCount = 2;   // parallel ranged connections
inline constexpr char kInternetAgent[] = "Mozilla/4.0 (compatible; Morvek)";
// The largest file accepted, announced or received (the build's setting).
inline constexpr qint64 kMaxFileBytes = VELNARA_INSTALLER_MAX_BYTES;
}  // namespace download_defaults

// Progress of a transfer, summed over all its parts.
struct DownloadState {
  qint64 bytesProceed = 0;
  qint64 resourceSize = 0;   // 0 when unknown
  double remainingTime = 0;  // seconds; 0 when unknown
};

// Events of a transfer, delivered on the window thread while the transfer
// thread waits for the handler to return.
class DownloaderEvents {
 public:
  virtual ~DownloaderEvents() = default;
  virtual void onDataItemProceed(const DownloadState& state) = 0;
  virtual void onError(const QString& error, int errorCode) = 0;
  virtual void onProcessCompleted() = 0;
};

// A file downloader over parallel ranged connections with retries.
class Downloader {
 public:
  virtual ~Downloader() = default;
  virtual void setURL(const QString& url) = 0;
  virtual QString URL() const = 0;
  virtual void setLocalFolder(const QString& folder) = 0;
  virtual QString localFolder() const = 0;
  // The one file a transfer may write in the local folder: the server must
  // offer a file of that name (letter case aside) or nothing is written, and
  // the file gets exactly this name. A downloader that writes no file (a
  // test's stand-in) may ignore it.
  virtual void setFileName(const QString& name) { static_cast<void>(name); }
  virtual void setBatchSize(int bytes) = 0;
  virtual void setThreadCount(int count) = 0;
  virtual void setInternetAgent(const QString& agent) = 0;
  virtual void setEvents(DownloaderEvents* events) = 0;
  // Starts asynchronously; throws std::runtime_error when it cannot begin
  // ("Operation is in progress" while busy).
  virtual void start() = 0;
  // Ends any transfer in progress; returns once its threads have ended.
  virtual void stop() = 0;
  // Errors reported during the current transfer.
  virtual QStringList errors() const = 0;
};
