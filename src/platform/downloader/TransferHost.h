#pragma once

#include <chrono>

#include <QString>

// What the transfer threads need from the downloader that runs them.
class TransferHost {
 public:
  virtual ~TransferHost() = default;
  virtual bool stopRequested() const = 0;
  // Waits `delay`; false when a stop cut the wait short.
  virtual bool pause(std::chrono::milliseconds delay) = 0;
  // Each returns once the event's handler has run on the window thread (or
  // at once when a stop came first).
  virtual void reportProgress() = 0;
  virtual void reportError(const QString& error, int code) = 0;
};
