#pragma once

#include <chrono>
#include <condition_variable>
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
class UpdateSite {
 public:
  static constexpr const char* kPagePath = "/obtenir-derniere-version.php";

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

  DownloadSite& installer() { return installer_; }
  std::vector<Request> requests() const;
  std::vector<Request> requests(const std::string& method) const;
  // https://localhost:<port>/obtenir-derniere-version.php
  std::string pageUrl() const { return server_->url(kPagePath); }

 private:
  void record(const httplib::Request& request);
  void answerPost(httplib::Response& response);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int status_ = 200;
  std::string body_;
  std::chrono::milliseconds holdLimit_{0};
  bool released_ = true;
  std::vector<Request> requests_;
  DownloadSite installer_;
  // Last, so that the server's threads end before what they use goes.
  std::unique_ptr<LocalHttpsServer> server_;
};
