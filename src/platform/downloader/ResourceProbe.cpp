#include "platform/downloader/ResourceProbe.h"

#include "platform/downloader/DownloadRequest.h"
#include "platform/downloader/LocalFileName.h"
#include "platform/http/CurlHandles.h"

AttemptResult probeResource(const DownloadSettings& settings, const std::function<bool()>& keepGoing,
                            ResourceInfo* info) {
  *info = ResourceInfo{};
  CurlMultiPtr multi = makeCurlMulti();
  CurlEasyPtr easy = makeCurlEasy();
  ResponseHeaders headers;
  configureDownloadRequest(easy.get(), settings, settings.url.toUtf8(), &headers);
  curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 1L);

  CurlDriver driver(multi.get(), easy.get());
  driver.setIdleTimeout(settings.networkTimeout);
  const CurlDriver::Outcome outcome = driver.run(kStopCheckInterval, keepGoing);
  if (outcome.code == CURLE_HTTP_RETURNED_ERROR && !outcome.aborted && !outcome.timedOut) return AttemptResult::done();
  if (!outcome.succeeded()) return classifyFailure(easy.get(), driver, outcome);

  curl_off_t length = -1;
  curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  info->size = length;
  info->acceptsRanges = headers.acceptsRanges;
  info->serverFileName = dispositionFileName(headers.contentDisposition);
  return AttemptResult::done();
}
