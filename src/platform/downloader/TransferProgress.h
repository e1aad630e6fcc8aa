#pragma once

#include <atomic>
#include <chrono>

#include "platform/Downloader.h"

// Byte counts of one transfer, shared by its parts and read by the progress
// event on the window thread.
class TransferProgress {
 public:
  TransferProgress() : started_(std::chrono::steady_clock::now()) {}

  void addBytes(qint64 count) { bytesProceed_ += count; }
  qint64 bytesProceed() const { return bytesProceed_; }
  void setResourceSize(qint64 size) { resourceSize_ = size; }
  qint64 resourceSize() const { return resourceSize_; }

  // Totals over all parts, and the time left at the average rate since start.
  DownloadState snapshot() const;

 private:
  std::chrono::steady_clock::time_point started_;
  std::atomic<qint64> bytesProceed_{0};
  std::atomic<qint64> resourceSize_{0};
};
