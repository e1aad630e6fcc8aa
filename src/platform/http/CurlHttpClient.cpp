#include "platform/http/CurlHttpClient.h"

#include "platform/http/CertificatePolicy.h"
#include "platform/http/CurlDriver.h"
#include "platform/http/RedirectPolicy.h"

struct CurlHttpClient::Answer {
  QByteArray body;
  bool tooLong = false;  // the server sent more than kMaxAnswerBytes
};

size_t CurlHttpClient::onAnswerData(char* data, size_t size, size_t count, void* target) {
  auto* answer = static_cast<Answer*>(target);
  const qsizetype length = static_cast<qsizetype>(size * count);
  if (length > kMaxAnswerBytes - answer->body.size()) {
    answer->tooLong = true;
    return 0;  // ends the transfer
  }
  answer->body.append(data, length);
  return size * count;
}

namespace {

QByteArray escaped(CURL* easy, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  char* escapedText = curl_easy_escape(easy, utf8.constData(), static_cast<int>(utf8.size()));
  if (!escapedText) throw HttpError("out of memory while encoding the form");
  QByteArray result(escapedText);
  curl_free(escapedText);
  return result;
}

}  // namespace

CurlHttpClient::CurlHttpClient(std::function<void()> pump) : pump_(std::move(pump)) {}

CurlHttpClient::~CurlHttpClient() = default;

bool CurlHttpClient::isConnected() const { return exchanging_ || easy_ != nullptr; }

void CurlHttpClient::setFormField(const QString& name, const QString& value) {
  for (auto& field : fields_) {
    if (field.first == name) {
      field.second = value;
      return;
    }
  }
  fields_.emplace_back(name, value);
}

QByteArray CurlHttpClient::encodedForm(CURL* easy) const {
  QByteArray form;
  for (const auto& [name, value] : fields_) {
    if (!form.isEmpty()) form += '&';
    form += escaped(easy, name) + '=' + escaped(easy, value);
  }
  return form;
}

void CurlHttpClient::post(const QString& url, QByteArray& body) {
  if (exchanging_) throw HttpError("An exchange is already in progress");
  Answer answer;
  try {
    exchange(url, answer);
  } catch (...) {
    releaseConnection();
    throw;
  }
  body = answer.body;
}

void CurlHttpClient::exchange(const QString& url, Answer& answer) {
  if (!easy_) {
    multi_ = makeCurlMulti();
    easy_ = makeCurlEasy();
  } else {
    curl_easy_reset(easy_.get());  // keeps the open connection for reuse
  }
  configureRequest(url.toUtf8(), encodedForm(easy_.get()), answer);

  exchanging_ = true;
  closeRequested_ = false;
  struct EndOfExchange {
    bool& flag;
    ~EndOfExchange() { flag = false; }
  } endOfExchange{exchanging_};

  CurlDriver driver(multi_.get(), easy_.get());
  driver.setIdleTimeout(networkTimeout_);
  driver.setTimeLimit(exchangeTimeLimit_);
  const CurlDriver::Outcome outcome = driver.run(kPumpInterval, [this] {
    if (pump_) pump_();
    return !closeRequested_;
  });
  if (outcome.aborted) throw HttpError("The connection was closed during the exchange");
  if (answer.tooLong)
    throw HttpError("The answer of the server is longer than " + std::to_string(kMaxAnswerBytes) + " bytes");
  if (!outcome.succeeded()) throw HttpError(driver.describe(outcome));

  long status = 0;
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400) throw HttpError("The server answered with HTTP status " + std::to_string(status));
}

void CurlHttpClient::configureRequest(const QByteArray& url, const QByteArray& form, Answer& answer) {
  CURL* easy = easy_.get();
  headers_.reset();
  appendHeader(headers_, "Content-Type: application/x-www-form-urlencoded");
  appendHeader(headers_, "Accept: */*");
  appendHeader(headers_, "Expect:");  // small forms go in one piece, no 100-continue round trip

  curl_easy_setopt(easy, CURLOPT_URL, url.constData());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  applyRedirectPolicy(easy, url);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
  curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, form.constData());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers_.get());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent_.constData());
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(networkTimeout_.count()));
  // An announced length past the limit ends the exchange before the body.
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxAnswerBytes));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlHttpClient::onAnswerData);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &answer);
  applyCertificatePolicy(easy);
}

void CurlHttpClient::close() {
  if (exchanging_) {
    // Called from the pump while our own exchange is waiting further up the
    // stack: the handles are in use there, so ask that exchange to end and
    // let it release them.
    closeRequested_ = true;
    return;
  }
  releaseConnection();
}

void CurlHttpClient::releaseConnection() {
  if (exchanging_) return;
  easy_.reset();
  multi_.reset();
  headers_.reset();
}
