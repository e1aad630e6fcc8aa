#pragma once

#include <QByteArray>

#include "platform/downloader/Attempts.h"
#include "platform/downloader/DownloadSettings.h"
#include "platform/http/CurlDriver.h"

// The response headers a transfer looks at. libcurl hands over the headers of
// every response of a request (redirects included); only the last response's
// are kept.
struct ResponseHeaders {
  bool acceptsRanges = false;
  bool chunked = false;  // Transfer-Encoding: chunked, so the body's end is marked
  QByteArray contentDisposition;
  QByteArray contentRange;

  static size_t onHeaderLine(char* data, size_t size, size_t count, void* headers);
};

// "bytes first-last/total"; total is -1 when the server wrote "*".
struct ContentRange {
  bool valid = false;
  qint64 first = -1;
  qint64 last = -1;
  qint64 total = -1;
};
ContentRange parseContentRange(const QByteArray& value);

// The settings every request of a transfer shares: URL, agent, redirects,
// certificate policy, connect time-out, header capture.
void configureDownloadRequest(CURL* easy, const DownloadSettings& settings, const QByteArray& url,
                              ResponseHeaders* headers);

// How a failed request ends its try: network trouble and server overload are
// worth another try; a refused request, a bad certificate, a bad URL, a
// redirect to plain http or a malformed answer are not, as the same request
// would meet the same fault. The text leads with what failed, in French.
AttemptResult classifyFailure(CURL* easy, const CurlDriver& driver, const CurlDriver::Outcome& outcome);

// How often transfer threads come back from libcurl to look for a stop.
inline constexpr std::chrono::milliseconds kStopCheckInterval{50};
