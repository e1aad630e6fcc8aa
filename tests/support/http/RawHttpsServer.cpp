#include "support/http/RawHttpsServer.h"

#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

RawHttpsServer::RawHttpsServer(const TestCertificate& certificate, std::string answer) : answer_(std::move(answer)) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (!context_ || SSL_CTX_use_certificate(context_, certificate.certificate.get()) != 1 ||
      SSL_CTX_use_PrivateKey(context_, certificate.key.get()) != 1)
    throw std::runtime_error("the raw test server has no valid TLS set-up");
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 8) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("the raw test server cannot listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

RawHttpsServer::~RawHttpsServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  ::close(listener_);
  SSL_CTX_free(context_);
}

std::string RawHttpsServer::url(const std::string& path) const {
  return "https://localhost:" + std::to_string(port_) + path;
}

void RawHttpsServer::serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    const timeval limit{5, 0};  // a client that stops talking cannot hold the server
    ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    answer(connection);
    ::close(connection);
  }
}

void RawHttpsServer::answer(int connection) {
  SSL* tls = SSL_new(context_);
  SSL_set_fd(tls, connection);
  if (SSL_accept(tls) == 1) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int got = SSL_read(tls, buffer, sizeof buffer);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    if (request.find("\r\n\r\n") != std::string::npos) {
      ++requests_;
      SSL_write(tls, answer_.data(), static_cast<int>(answer_.size()));
      SSL_shutdown(tls);
    }
  }
  SSL_free(tls);
}
