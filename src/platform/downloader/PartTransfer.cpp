#include "platform/downloader/PartTransfer.h"

#include <algorithm>
#include <utility>

#include "platform/downloader/ErrorTexts.h"
#include "platform/downloader/LocalFileName.h"
#include "platform/http/CurlHandles.h"

PartTransfer::PartTransfer(const DownloadSettings& settings, qint64 begin, qint64 end, DownloadFile& file,
                           TransferProgress& progress, TransferHost& host, std::function<bool()> keepGoing,
                           Refusal refusal)
    : settings_(settings),
      file_(file),
      progress_(progress),
      host_(host),
      keepGoing_(std::move(keepGoing)),
      refusal_(std::move(refusal)),
      fixedEnd_(end >= 0),
      position_(begin),
      end_(end) {}

AttemptResult PartTransfer::attempt() {
  CurlMultiPtr multi = makeCurlMulti();
  CurlEasyPtr easy = makeCurlEasy();
  easy_ = easy.get();
  headers_ = ResponseHeaders{};
  responseStarted_ = false;
  streamPosition_ = 0;
  complete_ = false;
  cancelled_ = false;
  failure_.reset();

  configureDownloadRequest(easy_, settings_, settings_.url.toUtf8(), &headers_);
  // One network read per batch, so that each progress event follows one read.
  curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, static_cast<long>(settings_.batchSize));
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &PartTransfer::onData);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  prepareRange(easy_);

  CurlDriver driver(multi.get(), easy_);
  driver.setIdleTimeout(settings_.networkTimeout);
  const CurlDriver::Outcome outcome = driver.run(kStopCheckInterval, keepGoing_);
  AttemptResult result = finish(easy_, driver, outcome);
  easy_ = nullptr;
  return result;
}

void PartTransfer::prepareRange(CURL* easy) {
  if (position_ == 0 && !fixedEnd_) return;
  const QByteArray range =
      QByteArray::number(position_) + '-' + (fixedEnd_ ? QByteArray::number(end_ - 1) : QByteArray());
  curl_easy_setopt(easy, CURLOPT_RANGE, range.constData());  // libcurl copies it
}

size_t PartTransfer::onData(char* data, size_t size, size_t count, void* part) {
  return static_cast<PartTransfer*>(part)->take(data, static_cast<qint64>(size * count));
}

size_t PartTransfer::take(const char* data, qint64 size) {
  if (!responseStarted_) {
    responseStarted_ = true;
    if (!startResponse(easy_)) return 0;
  }
  qint64 used = 0;
  if (streamPosition_ < position_) {  // bytes this part already holds
    used = std::min(size, position_ - streamPosition_);
    streamPosition_ += used;
  }
  while (used < size && (end_ < 0 || position_ < end_)) {
    qint64 batch = std::min<qint64>(size - used, settings_.batchSize);
    if (end_ >= 0) batch = std::min(batch, end_ - position_);
    if (batch > settings_.maxBytes - position_) {  // a body without size that goes on and on
      failure_ = AttemptResult::fail(download_text::grewTooLarge(settings_.maxBytes), CURLE_FILESIZE_EXCEEDED);
      return 0;
    }
    if (!writeBatch(data + used, batch)) return 0;
    used += batch;
  }
  if (end_ >= 0 && position_ >= end_) complete_ = true;
  // Returning less than given ends the response early: the part is complete
  // and the server keeps sending what another part fetches.
  return used < size ? 0 : static_cast<size_t>(size);
}

bool PartTransfer::writeBatch(const char* data, qint64 size) {
  QString error;
  if (!file_.writeAt(position_, data, size, &error)) {
    failure_ = AttemptResult::fail(download_text::fileFailed(error), CURLE_WRITE_ERROR);
    return false;
  }
  position_ += size;
  streamPosition_ += size;
  progress_.addBytes(size);
  host_.reportProgress();
  if (!keepGoing_()) {
    cancelled_ = true;
    return false;
  }
  return true;
}

bool PartTransfer::startResponse(CURL* easy) {
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t length = -1;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  qint64 total = -1;  // the size of the whole file, as this response tells it
  if (status == 206) {
    const ContentRange range = parseContentRange(headers_.contentRange);
    if (!range.valid) {
      failure_ = AttemptResult::fail(
          download_text::badAnswer(QStringLiteral("The server sent a part without its range")), 206);
      return false;
    }
    streamPosition_ = range.first;
    total = range.total;
  } else if (status == 200) {
    streamPosition_ = 0;
    total = length;
  } else {
    failure_ = AttemptResult::fail(
        download_text::serverDidNotServe(QStringLiteral("The server answered with HTTP status %1").arg(status)),
        static_cast<int>(status));
    return false;
  }
  // A body ended only by the connection's end looks whole when it was cut:
  // HTTP/1 needs a length or chunks to tell.
  long version = 0;
  curl_easy_getinfo(easy, CURLINFO_HTTP_VERSION, &version);
  if (length < 0 && !headers_.chunked && version < CURL_HTTP_VERSION_2_0) {
    failure_ = AttemptResult::fail(download_text::endNotVerifiable(), 0);
    return false;
  }
  if (const QString refusal = refusal_(dispositionFileName(headers_.contentDisposition), total); !refusal.isEmpty()) {
    failure_ = AttemptResult::fail(refusal, 0);
    return false;
  }
  if (!fixedEnd_ && total >= 0) {
    end_ = total;
    progress_.setResourceSize(total);
  }
  if (streamPosition_ > position_) {
    failure_ =
        AttemptResult::fail(download_text::badAnswer(QStringLiteral("The server resumed at the wrong offset")), 206);
    return false;
  }
  return true;
}

AttemptResult PartTransfer::finish(CURL* easy, const CurlDriver& driver, const CurlDriver::Outcome& outcome) {
  if (cancelled_ || outcome.aborted) return AttemptResult::cancelled();
  if (failure_) return *failure_;
  if (complete_) return AttemptResult::done();
  if (!outcome.succeeded()) return classifyFailure(easy, driver, outcome);
  if (!responseStarted_) {  // an empty body: still check what answered
    responseStarted_ = true;
    if (!startResponse(easy)) return *failure_;
  }
  if (end_ >= 0 && position_ < end_)
    return AttemptResult::retry(
        download_text::transferFailed(QStringLiteral("The connection ended before the data was complete")),
        CURLE_PARTIAL_FILE);
  return AttemptResult::done();
}
