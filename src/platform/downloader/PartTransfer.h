#pragma once

#include <functional>
#include <optional>

#include <QString>

#include "platform/downloader/Attempts.h"
#include "platform/downloader/DownloadFile.h"
#include "platform/downloader/DownloadRequest.h"
#include "platform/downloader/DownloadSettings.h"
#include "platform/downloader/TransferHost.h"
#include "platform/downloader/TransferProgress.h"

// One byte range of the file fetched over one connection. Each try asks for
// the bytes from where the previous try stopped, so a cut connection resumes
// instead of starting over. A server that ignores the range and sends the
// whole file is still usable: the bytes already held are skipped.
//
// Each response is judged before a byte of its body is written: by
// `refusal`, given the name of its Content-Disposition (empty when none) and
// the size of the whole file it announces (-1 when none), and by how its end
// can be known. A refused response ends the part for good.
class PartTransfer {
 public:
  using Refusal = std::function<QString(const QString& dispositionName, qint64 size)>;

  // end is -1 when the size is not known yet; the first response then tells
  // it, if it can.
  PartTransfer(const DownloadSettings& settings, qint64 begin, qint64 end, DownloadFile& file,
               TransferProgress& progress, TransferHost& host, std::function<bool()> keepGoing, Refusal refusal);

  AttemptResult attempt();

 private:
  static size_t onData(char* data, size_t size, size_t count, void* part);
  size_t take(const char* data, qint64 size);
  bool writeBatch(const char* data, qint64 size);
  bool startResponse(CURL* easy);
  AttemptResult finish(CURL* easy, const CurlDriver& driver, const CurlDriver::Outcome& outcome);
  void prepareRange(CURL* easy);

  const DownloadSettings& settings_;
  DownloadFile& file_;
  TransferProgress& progress_;
  TransferHost& host_;
  std::function<bool()> keepGoing_;
  Refusal refusal_;
  const bool fixedEnd_;
  qint64 position_;
  qint64 end_;

  // State of the current try.
  CURL* easy_ = nullptr;
  ResponseHeaders headers_;
  bool responseStarted_ = false;
  qint64 streamPosition_ = 0;  // offset in the file of the next byte the server sends
  bool complete_ = false;
  bool cancelled_ = false;
  std::optional<AttemptResult> failure_;
};
