#include "support/http/LocalHttpsServer.h"

#include <chrono>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

LocalHttpsServer::LocalHttpsServer(const TestCertificate& certificate)
    : server_(certificate.certificate.get(), certificate.key.get()) {
  if (!server_.is_valid()) throw std::runtime_error("the test server has no valid TLS set-up");
  // Idle kept-alive connections hold a server thread, and the server's end
  // waits for its threads.
  server_.set_keep_alive_timeout(1);
}

LocalHttpsServer::~LocalHttpsServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void LocalHttpsServer::start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("the test server cannot bind");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // stop() only takes effect on a running server: wait until it runs.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server_.is_running()) {
    if (std::chrono::steady_clock::now() > limit) throw std::runtime_error("the test server does not run");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::string LocalHttpsServer::url(const std::string& path, const std::string& host) const {
  return "https://" + host + ":" + std::to_string(port_) + path;
}

int closedPort() {
  const int descriptor = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(descriptor, reinterpret_cast<sockaddr*>(&address), length);
  ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(descriptor);  // bound but never listening: connections are refused
  return ntohs(address.sin_port);
}
