#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include <httplib.h>

// A file server for downloader tests. The path tells how the file is served:
//   /streamed/...  chunked, neither size nor ranges announced
//   /sized/...     with its size, "Accept-Ranges: none"
//   /missing/...   404
//   /nohead/...    like the default but HEAD is refused (405)
//   anything else  with its size and "Accept-Ranges: bytes"
// unless setServing() chose one way for every path. Knobs make it name the
// file, cut connections, send slowly, announce another size or redirect.
class DownloadSite {
 public:
  enum class Serving {
    ByPath,
    Streamed,   // as /streamed/
    Sized,      // as /sized/
    NoHead,     // as /nohead/
    ClosedEnd,  // neither size nor chunks: the body ends when the connection does
    Endless,    // chunked, the content over and over until the client goes
  };

  struct Request {
    std::string method;
    std::string path;
    std::string range;
    std::string userAgent;
  };

  explicit DownloadSite(std::string content) : content_(std::move(content)) {}

  void install(httplib::Server& server);

  void setContent(std::string content);
  const std::string& content() const { return content_; }
  // The whole Content-Disposition value; empty sends none.
  void setDisposition(std::string value);
  // The first `times` GETs are cut after `afterBytes` bytes of body; with
  // `stallFirst` the server first stops sending, until release() or a while.
  void cutConnections(std::int64_t afterBytes, int times, bool stallFirst = false);
  void release();
  // Sends small pieces with a pause after each.
  void setPace(std::chrono::microseconds pausePerPiece);
  void setServing(Serving serving);
  // Sized files announce this size (-1: the content's) and repeat the
  // content up to it.
  void announceSize(std::int64_t bytes);
  // Every request is answered "302 Found" to this location (empty: none).
  void redirectTo(std::string location);

  std::vector<Request> requests() const;
  std::vector<Request> gets() const;
  std::int64_t bytesServed() const;
  void forgetRequests();

 private:
  void serve(const httplib::Request& request, httplib::Response& response);
  void serveSized(httplib::Response& response, std::int64_t cutAfter);
  void stallIfAsked();
  void serveStreamed(httplib::Response& response);
  void serveClosedEnd(httplib::Response& response);
  void serveEndless(httplib::Response& response);
  // Sends at most one piece of the content, repeated as far as needed; the
  // bytes sent, 0 when the client is gone.
  std::size_t sendPiece(httplib::DataSink& sink, std::size_t offset, std::size_t length);

  mutable std::mutex mutex_;
  std::string content_;
  std::string disposition_;
  std::int64_t cutAfter_ = -1;
  int cutsLeft_ = 0;
  bool stall_ = false;
  bool released_ = false;
  std::condition_variable wake_;
  std::chrono::microseconds pace_{0};
  Serving serving_ = Serving::ByPath;
  std::int64_t announcedSize_ = -1;
  std::string redirect_;
  std::vector<Request> requests_;
  std::int64_t bytesServed_ = 0;
};

// Bytes in a repeatable pseudo-random order.
std::string testBytes(std::size_t size);
