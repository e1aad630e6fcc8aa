#pragma once

#include <chrono>
#include <functional>
#include <utility>

#include <QString>

// The result of one try at a network operation.
struct AttemptResult {
  enum class Kind { Done, Retry, Fail, Cancelled };
  Kind kind = Kind::Done;
  QString error;  // for Retry and Fail
  int code = 0;   // libcurl code, or the HTTP status for status errors

  static AttemptResult done() { return {}; }
  static AttemptResult retry(QString error, int code) { return {Kind::Retry, std::move(error), code}; }
  static AttemptResult fail(QString error, int code) { return {Kind::Fail, std::move(error), code}; }
  static AttemptResult cancelled() { return {Kind::Cancelled, {}, 0}; }
};

// Calls attempt(1), attempt(2), ... until one is not worth retrying or
// `attempts` tries were made, pausing `delay` between tries. pause returns
// false when the wait was cut short by a stop, which ends the tries as
// Cancelled. A Retry result after the last try is turned into a Fail whose
// text tells how many tries were made.
AttemptResult runAttempts(int attempts, std::chrono::milliseconds delay,
                          const std::function<AttemptResult(int)>& attempt,
                          const std::function<bool(std::chrono::milliseconds)>& pause);
