#pragma once

#include <chrono>

#include <QByteArray>
#include <QString>

#include "platform/Downloader.h"

// What one transfer works with, copied when it starts so that the setters of
// the downloader never race with its threads.
struct DownloadSettings {
  QString url;
  QString localFolder;
  QString fileName;  // the only file the transfer may write in localFolder
  qint64 maxBytes = download_defaults::kMaxFileBytes;
  int batchSize = download_defaults::kBatchSize;
  int threadCount = download_defaults::kThreadCount;
  QByteArray internetAgent = download_defaults::kInternetAgent;
  // A network error is tried again after retryDelay, up to `attempts` tries
  // in all; each network operation gives up after networkTimeout.
  int attempts = 5;
  std::chrono::milliseconds retryDelay{5000};
  std::chrono::milliseconds networkTimeout{5000};
};
