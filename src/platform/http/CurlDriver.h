#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <curl/curl.h>

// Drives one easy handle to its end through a multi handle, giving control
// back to the caller between short waits: the window thread pumps its messages
// there, a transfer thread looks for a stop request. It also enforces the
// network time-out as "no byte moved for that long", counting only the time
// spent waiting on the network, not the time the caller spends between waits,
// and, when one is set, a limit on the whole run, whatever moves.
class CurlDriver {
 public:
  struct Outcome {
    CURLcode code = CURLE_OK;
    bool timedOut = false;  // no network activity for longer than the time-out
    bool aborted = false;   // the caller asked to stop
    bool overTime = false;  // the whole run took longer than its time limit
    bool succeeded() const { return code == CURLE_OK && !timedOut && !aborted && !overTime; }
  };

  // Both handles stay owned by the caller and must outlive run().
  CurlDriver(CURLM* multi, CURL* easy);

  void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }
  std::chrono::milliseconds idleTimeout() const { return idleTimeout_; }
  // The longest the whole run may take, redirects and waits of the caller
  // included; none by default.
  void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }

  // Runs the transfer to its end. keepGoing is called after every wait of at
  // most `interval`; when it returns false the transfer is abandoned.
  Outcome run(std::chrono::milliseconds interval, const std::function<bool()>& keepGoing);

  // A readable reason for a failed outcome.
  std::string describe(const Outcome& outcome) const;

 private:
  static int onTransferInfo(void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow);
  CURLcode finishedCode() const;

  CURLM* multi_;
  CURL* easy_;
  std::chrono::milliseconds idleTimeout_{60000};
  std::optional<std::chrono::milliseconds> timeLimit_;
  curl_off_t lastDownloaded_ = -1;
  curl_off_t lastUploaded_ = -1;
  bool moved_ = false;
  char errorText_[CURL_ERROR_SIZE] = {};
};
