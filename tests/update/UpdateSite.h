#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/http/DownloadSite.h"
#include "support/http/LocalHttpsServer.h"
#include "support/http/TestCertificate.h"

// The product's update site on a local HTTPS server: the update page answers
// the form post with what the test chose, and a GET of the same page (the
// download URL, with its query) serves the installer through a DownloadSite.
// A second page, the relay, answers posts alike but is never redirected.
class UpdateSite {
 public:
  static constexpr const char* kPagePath = "/obtenir-derniere-version.php";
  static constexpr const char* kRelayPath = "/relais.php";

  // What reached the server, as the client sent it.
  struct Request {
    std::string method;
    std::string target;  // path and query
    std::string body;
    std::string contentType;
    std::string accept;
    std::string userAgent;
    std::string range;
    bool cookie = false;
  };

  explicit UpdateSite(const TestCertificate& certificate, std::string installer = {});
  ~UpdateSite();
  UpdateSite(const UpdateSite&) = delete;
  UpdateSite& operator=(const UpdateSite&) = delete;

  // The status and body of every answer to the form post.
  void answer(int status, std::string body);
  // Keeps every answer back until release() or `limit`.
  void holdAnswers(std::chrono::milliseconds limit);
  void release();
  // Hostile answers to the post, instead of the body: a length of `bytes`
  // announced and as many sent; a body that never ends; the body one byte
  // at a time, with a pause before each.
  void answerWithLength(std::int64_t bytes);
  void answerEndlessly();
  void trickle(std::chrono::milliseconds pausePerByte);
  // True once the trickled body was sent whole.
  bool trickleEnded() const;
  // Posts to the page are answered "307 Temporary Redirect" to this location.
  void redirectPosts(std::string location);

  DownloadSite& installer() { return installer_; }
  std::vector<Request> requests() const;
  std::vector<Request> requests(const std::string& method) const;
  // https://localhost:<port>/obtenir-derniere-version.php
  std::string pageUrl() const { return server_->url(kPagePath); }
  std::string relayUrl() const { return server_->url(kRelayPath); }

 private:
  enum class Shape { Body, Length, Endless, Trickle };
  void record(const httplib::Request& request);
  void answerPost(httplib::Response& response, bool relayed);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int status_ = 200;
  std::string body_;
  std::chrono::milliseconds holdLimit_{0};
  bool released_ = true;
  Shape shape_ = Shape::Body;
  std::int64_t length_ = 0;
  std::chrono::milliseconds pausePerByte_{0};
  bool trickleEnded_ = false;
  std::string redirect_;
  std::vector<Request> requests_;
  DownloadSite installer_;
  // Last, so that the server's threads end before what they use goes.
  std::unique_ptr<LocalHttpsServer> server_;
};
