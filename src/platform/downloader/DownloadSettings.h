#pragma once

#include <chrono>

#include <QByteArray>
#include <QString>

// What one transfer works with, copied when it starts so that the setters of
// the downloader never race with its threads.
struct DownloadSettings {
  QString url;
  QString localFolder;
  int batchSize = 1096;
  int threadCount = 2;
  QByteArray internetAgent = "Mozilla/4.0 (compatible; Morvek)";
  int attempts = 5;
  std::chrono::milliseconds retryDelay{5000};
  std::chrono::milliseconds networkTimeout{5000};
};
