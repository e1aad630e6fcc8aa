#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include <QString>

#include "platform/downloader/Attempts.h"
#include "platform/downloader/DownloadFile.h"
#include "platform/downloader/DownloadSettings.h"
#include "platform/downloader/ResourceProbe.h"
#include "platform/downloader/TransferHost.h"
#include "platform/downloader/TransferProgress.h"

// One transfer from its first request to the named file: removes what killed
// transfers left, asks the server about the file, splits it into parts,
// fetches the first part on the calling thread and each other part on a
// thread of its own, and names the file once every part is in. Errors go to
// the host as they happen; the first part that gives up ends the others.
//
// What the server offers is checked before a byte of it is written: the file
// must be the expected one, its announced size within the limit and the free
// space of the folder; a body whose end could not be told from a cut is not
// taken at all.
class TransferJob {
 public:
  TransferJob(DownloadSettings settings, TransferHost& host, TransferProgress& progress);

  // Returns once every thread it started has ended.
  void run();

  using ByteRange = std::pair<qint64, qint64>;  // [first, end); end -1 when unknown
  // The parts of a file of that description: several when its size is known,
  // ranges are accepted and each part gets at least one batch; otherwise one.
  static std::vector<ByteRange> planParts(const ResourceInfo& info, int threadCount, int batchSize);

 private:
  bool keepGoing() const;
  bool pause(std::chrono::milliseconds delay);
  void fail(const QString& error, int code);
  bool probe(ResourceInfo* info);
  // Empty when a response naming the file so (empty: no name) and
  // announcing that size (-1: none) may be written; otherwise why not.
  QString refusalOf(const QString& dispositionName, qint64 size) const;
  QString sizeRefusal(qint64 size) const;
  void fetchParts(const std::vector<ByteRange>& ranges, DownloadFile& file);

  DownloadSettings settings_;
  QString probedName_;  // the name the HEAD request gave, set before any part runs
  TransferHost& host_;
  TransferProgress& progress_;
  std::atomic<bool> failed_{false};
};

// Names the calling thread so that transfer threads can be told apart.
void nameTransferThread();
