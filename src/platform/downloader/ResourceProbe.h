#pragma once

#include <functional>

#include <QString>

#include "platform/downloader/Attempts.h"
#include "platform/downloader/DownloadSettings.h"

// What a HEAD request tells about the file before any byte is fetched.
struct ResourceInfo {
  qint64 size = -1;  // -1 when unknown
  bool acceptsRanges = false;
  QString serverFileName;  // from Content-Disposition; empty when none
};

// One try at asking the server about the file. A server that refuses HEAD
// (any HTTP error status) is not a failure: the transfer then learns what it
// can from the GET itself, over one connection.
AttemptResult probeResource(const DownloadSettings& settings, const std::function<bool()>& keepGoing,
                            ResourceInfo* info);
