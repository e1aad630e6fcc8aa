#pragma once

#include <atomic>
#include <string>
#include <thread>

#include <openssl/ssl.h>

#include "support/http/TestCertificate.h"

// An HTTPS server on 127.0.0.1 that answers every request with the same
// bytes, written as they are, then closes the connection: for answers no
// well-behaved server library would send (a NUL byte in a header, ...).
// Connections are served one after the other.
class RawHttpsServer {
 public:
  RawHttpsServer(const TestCertificate& certificate, std::string answer);
  ~RawHttpsServer();
  RawHttpsServer(const RawHttpsServer&) = delete;
  RawHttpsServer& operator=(const RawHttpsServer&) = delete;

  // https://localhost:<port><path>
  std::string url(const std::string& path) const;
  // The requests read so far.
  int requests() const { return requests_; }

 private:
  void serve();
  void answer(int connection);

  std::string answer_;
  SSL_CTX* context_ = nullptr;
  int listener_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};
