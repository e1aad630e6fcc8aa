#pragma once

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/http/CurlHandles.h"

// Form posts over HTTP(S) on libcurl. The client is used on the window thread:
// while it waits for the network it calls the pump it was given every few
// milliseconds, so the window stays alive. The pump may call back into the
// client; a second post during an exchange is refused with HttpError, and
// close() during an exchange ends that exchange with HttpError.
//
// The server is trusted no further than its host name (see
// CertificatePolicy.h), so what it can make the client do is bounded: the
// answer is read up to kMaxAnswerBytes, and a whole exchange, redirects
// included, ends within kExchangeTimeLimit however slowly the bytes come.
class CurlHttpClient : public HttpClient {
 public:
  static constexpr const char* kDefaultUserAgent = "Mozilla/4.0 (compatible; MORVEK)";
  static constexpr std::chrono::milliseconds kDefaultNetworkTimeout{60000};
  static constexpr std::chrono::milliseconds kExchangeTimeLimit{90000};
  static constexpr qsizetype kMaxAnswerBytes = 64 * 1024;
  static constexpr std::chrono::milliseconds kPumpInterval{20};

  explicit CurlHttpClient(std::function<void()> pump);
  ~CurlHttpClient() override;

  bool isConnected() const override;
  void setFormField(const QString& name, const QString& value) override;
  void post(const QString& url, QByteArray& body) override;
  void close() override;

  void setUserAgent(const QString& agent) { userAgent_ = agent.toUtf8(); }
  QString userAgent() const { return QString::fromUtf8(userAgent_); }

  // Tests only: a shorter network wait than the program's 60 seconds, and a
  // shorter limit on a whole exchange than its 90 seconds.
  void setNetworkTimeoutForTesting(std::chrono::milliseconds timeout) { networkTimeout_ = timeout; }
  void setExchangeTimeLimitForTesting(std::chrono::milliseconds limit) { exchangeTimeLimit_ = limit; }

 private:
  struct Answer;
  static size_t onAnswerData(char* data, size_t size, size_t count, void* answer);
  QByteArray encodedForm(CURL* easy) const;
  void configureRequest(const QByteArray& url, const QByteArray& form, Answer& answer);
  void exchange(const QString& url, Answer& answer);
  void releaseConnection();

  std::function<void()> pump_;
  std::vector<std::pair<QString, QString>> fields_;
  QByteArray userAgent_ = kDefaultUserAgent;
  std::chrono::milliseconds networkTimeout_ = kDefaultNetworkTimeout;
  std::chrono::milliseconds exchangeTimeLimit_ = kExchangeTimeLimit;
  CurlMultiPtr multi_;  // holds the open connection between exchanges
  CurlEasyPtr easy_;
  CurlSlistPtr headers_;
  bool exchanging_ = false;
  bool closeRequested_ = false;
};
