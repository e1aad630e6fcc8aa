#pragma once

#include <chrono>
#include <functional>

// The application object the downloader's events need; made once per run.
void ensureCoreApplication();

// Runs the event loop until done() holds; false when it still does not after
// `limit`, so that a hung transfer fails its test instead of hanging it.
bool runEventLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(60));

// Runs the event loop for a while, to see that nothing more arrives.
void runEventLoopFor(std::chrono::milliseconds duration);
