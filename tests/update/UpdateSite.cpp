#include "UpdateSite.h"

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
    answerPost(response);
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

void UpdateSite::answerPost(httplib::Response& response) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, holdLimit_, [this] { return released_; });
  response.status = status_;
  // A cookie the client must neither keep nor send back.
  response.set_header("Set-Cookie", "session=velnara-test; Path=/");
  response.set_content(body_, "text/html; charset=UTF-8");
}
