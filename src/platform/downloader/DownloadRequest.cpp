#include "platform/downloader/DownloadRequest.h"

#include <QList>

#include "platform/downloader/ErrorTexts.h"
#include "platform/http/CertificatePolicy.h"
#include "platform/http/RedirectPolicy.h"

size_t ResponseHeaders::onHeaderLine(char* data, size_t size, size_t count, void* target) {
  auto* headers = static_cast<ResponseHeaders*>(target);
  const QByteArray line = QByteArray(data, static_cast<qsizetype>(size * count)).trimmed();
  if (line.startsWith("HTTP/")) {
    *headers = ResponseHeaders{};
    return size * count;
  }
  const qsizetype colon = line.indexOf(':');
  if (colon <= 0) return size * count;
  const QByteArray name = line.left(colon).trimmed().toLower();
  const QByteArray value = line.mid(colon + 1).trimmed();
  if (name == "accept-ranges")
    headers->acceptsRanges = value.toLower().split(',').contains("bytes");
  else if (name == "transfer-encoding")
    headers->chunked = value.toLower().contains("chunked");
  else if (name == "content-disposition")
    headers->contentDisposition = value;
  else if (name == "content-range")
    headers->contentRange = value;
  return size * count;
}

ContentRange parseContentRange(const QByteArray& value) {
  ContentRange range;
  const QByteArray text = value.trimmed();
  if (!text.toLower().startsWith("bytes ")) return range;
  const QByteArray byteRange = text.mid(6).trimmed();
  const qsizetype dash = byteRange.indexOf('-');
  const qsizetype slash = byteRange.indexOf('/');
  if (dash <= 0 || slash < dash) return range;
  bool firstOk = false, lastOk = false, totalOk = true;
  range.first = byteRange.left(dash).toLongLong(&firstOk);
  range.last = byteRange.mid(dash + 1, slash - dash - 1).toLongLong(&lastOk);
  const QByteArray total = byteRange.mid(slash + 1);
  if (total != "*") range.total = total.toLongLong(&totalOk);
  range.valid = firstOk && lastOk && totalOk && range.first >= 0 && range.last >= range.first;
  return range;
}

void configureDownloadRequest(CURL* easy, const DownloadSettings& settings, const QByteArray& url,
                              ResponseHeaders* headers) {
  curl_easy_setopt(easy, CURLOPT_URL, url.constData());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  applyRedirectPolicy(easy, url);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, settings.internetAgent.constData());
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.networkTimeout.count()));
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &ResponseHeaders::onHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, headers);
  applyCertificatePolicy(easy);
}

namespace {

bool worthRetrying(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:  // also a redirect to a protocol refused
    case CURLE_URL_MALFORMAT:
    case CURLE_WEIRD_SERVER_REPLY:  // a malformed answer, a NUL byte in a header among others
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_WRITE_ERROR:
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
      return false;
    default:
      return true;
  }
}

}  // namespace

AttemptResult classifyFailure(CURL* easy, const CurlDriver& driver, const CurlDriver::Outcome& outcome) {
  if (outcome.aborted) return AttemptResult::cancelled();
  const QString technical = QString::fromStdString(driver.describe(outcome));
  const QString reason = outcome.code == CURLE_WEIRD_SERVER_REPLY ? download_text::badAnswer(technical)
                                                                  : download_text::transferFailed(technical);
  if (outcome.timedOut || outcome.overTime) return AttemptResult::retry(reason, CURLE_OPERATION_TIMEDOUT);
  long redirects = 0;
  curl_easy_getinfo(easy, CURLINFO_REDIRECT_COUNT, &redirects);
  const char* location = nullptr;
  curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &location);
  if (outcome.code == CURLE_UNSUPPORTED_PROTOCOL && redirects > 0 && location)
    return AttemptResult::fail(download_text::insecureRedirect(QString::fromUtf8(location)), outcome.code);
  if (outcome.code == CURLE_HTTP_RETURNED_ERROR) {
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const QString text =
        download_text::serverDidNotServe(QStringLiteral("The server answered with HTTP status %1").arg(status));
    const bool transient = status >= 500 || status == 408 || status == 429;
    return transient ? AttemptResult::retry(text, static_cast<int>(status))
                     : AttemptResult::fail(text, static_cast<int>(status));
  }
  return worthRetrying(outcome.code) ? AttemptResult::retry(reason, outcome.code)
                                     : AttemptResult::fail(reason, outcome.code);
}
