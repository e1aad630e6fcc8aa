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
class CurlHttpClient : public HttpClient {
 public:
  static constexpr const char* kDefaultUserAgent = "Mozilla/4.0 (compatible; MORVEK)";
  static constexpr std::chrono::milliseconds kDefaultNetworkTimeout{60000};
  static constexpr std::chrono::milliseconds kPumpInterval{20};

  explicit CurlHttpClient(std::function<void()> pump);
  ~CurlHttpClient() override;

  bool isConnected() const override;
  void setFormField(const QString& name, const QString& value) override;
  void post(const QString& url, QByteArray& body) override;
  void close() override;

  void setUserAgent(const QString& agent) { userAgent_ = agent.toUtf8(); }
  QString userAgent() const { return QString::fromUtf8(userAgent_); }

  // Tests only: a shorter network wait than the program's 60 seconds.
  void setNetworkTimeoutForTesting(std::chrono::milliseconds timeout) { networkTimeout_ = timeout; }

 private:
  QByteArray encodedForm(CURL* easy) const;
  void configureRequest(const QByteArray& url, const QByteArray& form, QByteArray& received);
  void exchange(const QString& url, QByteArray& received);
  void releaseConnection();

  std::function<void()> pump_;
  std::vector<std::pair<QString, QString>> fields_;
  QByteArray userAgent_ = kDefaultUserAgent;
  std::chrono::milliseconds networkTimeout_ = kDefaultNetworkTimeout;
  CurlMultiPtr multi_;  // holds the open connection between exchanges
  CurlEasyPtr easy_;
  CurlSlistPtr headers_;
  bool exchanging_ = false;
  bool closeRequested_ = false;
};
