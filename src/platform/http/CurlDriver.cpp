#include "platform/http/CurlDriver.h"

namespace {

std::string durationText(std::chrono::milliseconds duration) {
  const auto ms = duration.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

CurlDriver::CurlDriver(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {}

int CurlDriver::onTransferInfo(void* self, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
  auto* driver = static_cast<CurlDriver*>(self);
  if (dlnow != driver->lastDownloaded_ || ulnow != driver->lastUploaded_) {
    driver->lastDownloaded_ = dlnow;
    driver->lastUploaded_ = ulnow;
    driver->moved_ = true;
  }
  return 0;
}

CurlDriver::Outcome CurlDriver::run(std::chrono::milliseconds interval, const std::function<bool()>& keepGoing) {
  using Clock = std::chrono::steady_clock;
  errorText_[0] = '\0';
  curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
  curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlDriver::onTransferInfo);
  curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
  lastDownloaded_ = lastUploaded_ = -1;

  Outcome outcome;
  if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
    outcome.code = CURLE_FAILED_INIT;
    return outcome;
  }
  struct Detach {
    CURLM* multi;
    CURL* easy;
    ~Detach() {
      curl_multi_remove_handle(multi, easy);
      curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    }
  } detach{multi_, easy_};

  const Clock::time_point started = Clock::now();
  Clock::duration idle{};
  for (;;) {
    const Clock::time_point waitStart = Clock::now();
    moved_ = false;
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) {
      outcome.code = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      outcome.code = finishedCode();
      break;
    }
    curl_multi_poll(multi_, nullptr, 0, static_cast<int>(interval.count()), nullptr);
    idle = moved_ ? Clock::duration{} : idle + (Clock::now() - waitStart);
    if (idle > idleTimeout_) {
      outcome.timedOut = true;
      break;
    }
    if (timeLimit_ && Clock::now() - started > *timeLimit_) {
      outcome.overTime = true;
      break;
    }
    if (!keepGoing()) {
      outcome.aborted = true;
      break;
    }
  }
  return outcome;
}

CURLcode CurlDriver::finishedCode() const {
  int left = 0;
  CURLcode code = CURLE_OK;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) code = message->data.result;
  }
  return code;
}

std::string CurlDriver::describe(const Outcome& outcome) const {
  if (outcome.timedOut) return "Network time-out: nothing received for " + durationText(idleTimeout_);
  if (outcome.overTime && timeLimit_) return "The exchange took longer than its limit of " + durationText(*timeLimit_);
  if (outcome.aborted) return "Transfer stopped";
  if (outcome.code == CURLE_OK) return {};
  return errorText_[0] != '\0' ? std::string(errorText_) : curl_easy_strerror(outcome.code);
}
