#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/Downloader.h"

// Records what a downloader reports, as the window would see it.
class DownloadRecorder : public DownloaderEvents {
 public:
  // `errors` reads the downloader's Errors from inside the handlers.
  explicit DownloadRecorder(std::function<QStringList()> errors) : errors_(std::move(errors)) {}

  void onDataItemProceed(const DownloadState& state) override;
  void onError(const QString& error, int errorCode) override;
  void onProcessCompleted() override;

  void clear();

  std::vector<DownloadState> progress;
  std::vector<QString> errorTexts;
  std::vector<QStringList> errorListAtEachError;  // the downloader's Errors inside each handler
  std::vector<std::string> sequence;              // "progress", "error", "completed"
  int completions = 0;
  bool allOnWindowThread = true;
  // Each runs inside the next handler of its event, once.
  std::function<void()> duringNextProgress;
  std::function<void()> duringNextCompletion;

 private:
  void noteThread();
  std::function<QStringList()> errors_;
};
