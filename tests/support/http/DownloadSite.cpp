#include "support/http/DownloadSite.h"

#include <algorithm>
#include <memory>
#include <random>
#include <thread>

std::string testBytes(std::size_t size) {
  std::mt19937 generator(20210622);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xff);
  return bytes;
}

void DownloadSite::install(httplib::Server& server) {
  server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) { serve(request, response); });
}

void DownloadSite::setContent(std::string content) {
  std::lock_guard lock(mutex_);
  content_ = std::move(content);
}

void DownloadSite::setDisposition(std::string value) {
  std::lock_guard lock(mutex_);
  disposition_ = std::move(value);
}

void DownloadSite::cutConnections(std::int64_t afterBytes, int times, bool stallFirst) {
  std::lock_guard lock(mutex_);
  cutAfter_ = afterBytes;
  cutsLeft_ = times;
  stall_ = stallFirst;
  released_ = false;
}

void DownloadSite::release() {
  {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  wake_.notify_all();
}

void DownloadSite::stallIfAsked() {
  std::unique_lock lock(mutex_);
  if (stall_) wake_.wait_for(lock, std::chrono::minutes(2), [this] { return released_; });
}

void DownloadSite::setPace(std::chrono::microseconds pausePerPiece) {
  std::lock_guard lock(mutex_);
  pace_ = pausePerPiece;
}

void DownloadSite::setServing(Serving serving) {
  std::lock_guard lock(mutex_);
  serving_ = serving;
}

void DownloadSite::announceSize(std::int64_t bytes) {
  std::lock_guard lock(mutex_);
  announcedSize_ = bytes;
}

void DownloadSite::redirectTo(std::string location) {
  std::lock_guard lock(mutex_);
  redirect_ = std::move(location);
}

std::vector<DownloadSite::Request> DownloadSite::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<DownloadSite::Request> DownloadSite::gets() const {
  std::vector<Request> gets;
  for (const Request& request : requests())
    if (request.method == "GET") gets.push_back(request);
  return gets;
}

std::int64_t DownloadSite::bytesServed() const {
  std::lock_guard lock(mutex_);
  return bytesServed_;
}

void DownloadSite::forgetRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
  bytesServed_ = 0;
}

void DownloadSite::serve(const httplib::Request& request, httplib::Response& response) {
  const bool head = request.method == "HEAD";
  std::int64_t cutAfter = -1;
  Serving serving;
  std::string redirect;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(
        {request.method, request.path, request.get_header_value("Range"), request.get_header_value("User-Agent")});
    if (!head && cutsLeft_ > 0) {
      --cutsLeft_;
      cutAfter = cutAfter_;
    }
    if (!disposition_.empty()) response.set_header("Content-Disposition", disposition_);
    serving = serving_;
    redirect = redirect_;
  }
  const auto startsWith = [&](const char* prefix) { return request.path.rfind(prefix, 0) == 0; };
  if (serving == Serving::ByPath) {
    serving = startsWith("/streamed") ? Serving::Streamed
              : startsWith("/sized")  ? Serving::Sized
              : startsWith("/nohead") ? Serving::NoHead
                                      : Serving::ByPath;
  }
  if (!redirect.empty()) {
    response.set_redirect(redirect);
  } else if (startsWith("/missing")) {
    response.status = 404;
  } else if (serving == Serving::NoHead && head) {
    response.status = 405;
  } else if (serving == Serving::Streamed || serving == Serving::ClosedEnd || serving == Serving::Endless) {
    response.set_header("Accept-Ranges", "none");  // cpp-httplib announces ranges on HEAD otherwise
    if (serving == Serving::Streamed) serveStreamed(response);
    if (serving == Serving::ClosedEnd) serveClosedEnd(response);
    if (serving == Serving::Endless) serveEndless(response);
  } else {
    response.set_header("Accept-Ranges", serving == Serving::Sized ? "none" : "bytes");
    serveSized(response, cutAfter);
  }
}

void DownloadSite::serveSized(httplib::Response& response, std::int64_t cutAfter) {
  std::int64_t size;
  {
    std::lock_guard lock(mutex_);
    size = announcedSize_ >= 0 ? announcedSize_ : static_cast<std::int64_t>(content_.size());
  }
  auto sent = std::make_shared<std::int64_t>(0);
  response.set_content_provider(
      static_cast<std::size_t>(size), "application/octet-stream",
      [this, sent, cutAfter](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        if (cutAfter >= 0) {
          if (*sent >= cutAfter) {
            stallIfAsked();
            return false;  // drops the connection
          }
          length = std::min<std::size_t>(length, static_cast<std::size_t>(cutAfter - *sent));
        }
        const std::size_t piece = sendPiece(sink, offset, length);
        *sent += static_cast<std::int64_t>(piece);
        return piece > 0;
      });
}

void DownloadSite::serveStreamed(httplib::Response& response) {
  response.set_chunked_content_provider("application/octet-stream",
                                        [this](std::size_t offset, httplib::DataSink& sink) {
                                          if (offset >= content_.size()) {
                                            sink.done();
                                            return true;
                                          }
                                          return sendPiece(sink, offset, content_.size() - offset) > 0;
                                        });
}

void DownloadSite::serveClosedEnd(httplib::Response& response) {
  response.set_content_provider("application/octet-stream", [this](std::size_t offset, httplib::DataSink& sink) {
    if (offset >= content_.size()) {
      sink.done();
      return true;
    }
    return sendPiece(sink, offset, content_.size() - offset) > 0;
  });
}

void DownloadSite::serveEndless(httplib::Response& response) {
  response.set_chunked_content_provider(
      "application/octet-stream",
      [this](std::size_t offset, httplib::DataSink& sink) { return sendPiece(sink, offset, content_.size()) > 0; });
}

std::size_t DownloadSite::sendPiece(httplib::DataSink& sink, std::size_t offset, std::size_t length) {
  std::chrono::microseconds pace;
  {
    std::lock_guard lock(mutex_);
    pace = pace_;
  }
  if (content_.empty()) return 0;
  const std::size_t at = offset % content_.size();
  const std::size_t piece = std::min({length, content_.size() - at, std::size_t{pace.count() > 0 ? 1096u : 65536u}});
  if (pace.count() > 0) std::this_thread::sleep_for(pace);
  if (!sink.write(content_.data() + at, piece)) return 0;
  std::lock_guard lock(mutex_);
  bytesServed_ += static_cast<std::int64_t>(piece);
  return piece;
}
