#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <QObject>

#include "platform/Downloader.h"
#include "platform/downloader/DownloadSettings.h"
#include "platform/downloader/TransferHost.h"
#include "platform/downloader/TransferProgress.h"

// The file downloader on libcurl. It lives on the thread that creates it (the
// window thread), which must run its event loop or pump messages: every event
// is handed to that thread and the transfer thread that raised it waits until
// the handler has returned. The transfer itself runs on at most ThreadCount
// threads of its own.
//
// stop() may be called at any time on the window thread, from an event
// handler too: a transfer thread waiting for a handler stops waiting, every
// thread is joined, and no event of that transfer is delivered afterwards
// (OnProcessCompleted included, so a stopped transfer never looks finished).
class CurlDownloader : public QObject, public Downloader, private TransferHost {
 public:
  explicit CurlDownloader(QObject* parent = nullptr);
  ~CurlDownloader() override;

  void setURL(const QString& url) override { settings_.url = url; }
  QString URL() const override { return settings_.url; }
  void setLocalFolder(const QString& folder) override { settings_.localFolder = folder; }
  QString localFolder() const override { return settings_.localFolder; }
  void setFileName(const QString& name) override { settings_.fileName = name; }
  QString fileName() const { return settings_.fileName; }
  void setBatchSize(int bytes) override;
  int batchSize() const { return settings_.batchSize; }
  void setThreadCount(int count) override;
  int threadCount() const { return settings_.threadCount; }
  void setInternetAgent(const QString& agent) override { settings_.internetAgent = agent.toUtf8(); }
  QString internetAgent() const { return QString::fromUtf8(settings_.internetAgent); }
  void setEvents(DownloaderEvents* events) override { events_ = events; }

  void start() override;
  void stop() override;
  QStringList errors() const override;

  // Tests only: shorter waits than the program's 5 seconds, another size
  // limit than the build's.
  void setRetryDelayForTesting(std::chrono::milliseconds delay) { settings_.retryDelay = delay; }
  void setNetworkTimeoutForTesting(std::chrono::milliseconds timeout) { settings_.networkTimeout = timeout; }
  void setSizeLimitForTesting(qint64 bytes) { settings_.maxBytes = bytes; }

 private:
  // TransferHost, called on transfer threads.
  bool stopRequested() const override;
  bool pause(std::chrono::milliseconds delay) override;
  void reportProgress() override;
  void reportError(const QString& error, int code) override;

  QString settingsProblem() const;
  void runTransfer(const DownloadSettings& settings, int transferNumber);
  void deliverAndWait(std::function<void()> handlerCall);

  DownloadSettings settings_;
  DownloaderEvents* events_ = nullptr;
  std::shared_ptr<TransferProgress> progress_;
  std::thread controller_;
  // Window thread only.
  bool busy_ = false;  // from start() until the end event was handled or stop()
  int transferNumber_ = 0;

  mutable std::mutex mutex_;  // guards what follows
  std::condition_variable wake_;
  QStringList errors_;
  bool stopRequested_ = false;
};
