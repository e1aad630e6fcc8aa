#pragma once

#include <string>
#include <thread>

#include <httplib.h>

#include "support/http/TestCertificate.h"

// An HTTPS server on 127.0.0.1 with a port of its own, for the length of a
// test. Routes are added on server() before start().
class LocalHttpsServer {
 public:
  explicit LocalHttpsServer(const TestCertificate& certificate);
  ~LocalHttpsServer();

  httplib::Server& server() { return server_; }
  void start();
  int port() const { return port_; }
  // https://<host>:<port><path>
  std::string url(const std::string& path, const std::string& host = "localhost") const;

 private:
  httplib::SSLServer server_;
  int port_ = -1;
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
int closedPort();
