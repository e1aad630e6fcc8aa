#include "UpdateSite.h"

#include <algorithm>
#include <thread>

UpdateSite::UpdateSite(const TestCertificate& certificate, std::string installer)
    : installer_(std::move(installer)), server_(std::make_unique<LocalHttpsServer>(certificate)) {
  httplib::Server& server = server_->server();
  // Requests are recorded with their query, whichever handler serves them;
  // a post only once its body was read, which happens after routing.
  server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    if (request.method != "POST") record(request);
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.Post(kPagePath, [this](const httplib::Request& request, httplib::Response& response) {
    record(request);
    answerPost(response, false);
  });
  server.Post(kRelayPath, [this](const httplib::Request& request, httplib::Response& response) {
    record(request);
    answerPost(response, true);
  });
  installer_.install(server);
  server_->start();
}

UpdateSite::~UpdateSite() {
  // A held answer would keep a server thread, and the server's end waits
  // for its threads.
  release();
  installer_.release();
  server_.reset();
}

void UpdateSite::answer(int status, std::string body) {
  std::lock_guard lock(mutex_);
  status_ = status;
  body_ = std::move(body);
}

void UpdateSite::holdAnswers(std::chrono::milliseconds limit) {
  std::lock_guard lock(mutex_);
  holdLimit_ = limit;
  released_ = false;
}

void UpdateSite::release() {
  {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  wake_.notify_all();
}

void UpdateSite::answerWithLength(std::int64_t bytes) {
  std::lock_guard lock(mutex_);
  shape_ = Shape::Length;
  length_ = bytes;
}

void UpdateSite::answerEndlessly() {
  std::lock_guard lock(mutex_);
  shape_ = Shape::Endless;
}

void UpdateSite::trickle(std::chrono::milliseconds pausePerByte) {
  std::lock_guard lock(mutex_);
  shape_ = Shape::Trickle;
  pausePerByte_ = pausePerByte;
  trickleEnded_ = false;
}

bool UpdateSite::trickleEnded() const {
  std::lock_guard lock(mutex_);
  return trickleEnded_;
}

void UpdateSite::redirectPosts(std::string location) {
  std::lock_guard lock(mutex_);
  redirect_ = std::move(location);
}

std::vector<UpdateSite::Request> UpdateSite::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<UpdateSite::Request> UpdateSite::requests(const std::string& method) const {
  std::vector<Request> matching;
  for (const Request& request : requests())
    if (request.method == method) matching.push_back(request);
  return matching;
}

void UpdateSite::record(const httplib::Request& request) {
  std::lock_guard lock(mutex_);
  requests_.push_back({request.method, request.target, request.body, request.get_header_value("Content-Type"),
                       request.get_header_value("Accept"), request.get_header_value("User-Agent"),
                       request.get_header_value("Range"), request.has_header("Cookie")});
}

void UpdateSite::answerPost(httplib::Response& response, bool relayed) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, holdLimit_, [this] { return released_; });
  if (!relayed && !redirect_.empty()) {
    response.set_redirect(redirect_, 307);
    return;
  }
  response.status = status_;
  // A cookie the client must neither keep nor send back.
  response.set_header("Set-Cookie", "session=velnara-test; Path=/");
  static const std::string kBlock(64 * 1024, 'x');
  switch (shape_) {
    case Shape::Body:
      response.set_content(body_, "text/html; charset=UTF-8");
      break;
    case Shape::Length:
      response.set_content_provider(static_cast<std::size_t>(length_), "text/html",
                                    [](std::size_t, std::size_t length, httplib::DataSink& sink) {
                                      return sink.write(kBlock.data(), std::min(length, kBlock.size()));
                                    });
      break;
    case Shape::Endless:
      response.set_chunked_content_provider(
          "text/html", [](std::size_t, httplib::DataSink& sink) { return sink.write(kBlock.data(), kBlock.size()); });
      break;
    case Shape::Trickle:
      response.set_chunked_content_provider(
          "text/html", [this, body = body_, pause = pausePerByte_](std::size_t offset, httplib::DataSink& sink) {
            if (offset >= body.size()) {
              std::lock_guard ended(mutex_);
              trickleEnded_ = true;
              sink.done();
              return true;
            }
            std::this_thread::sleep_for(pause);
            return sink.write(body.data() + offset, 1);
          });
      break;
  }
}
