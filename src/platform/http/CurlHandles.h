#pragma once

#include <memory>

#include <curl/curl.h>

// Owning handles for libcurl objects, and the one-time library set-up that must
// happen before any handle exists on any thread.

struct CurlEasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMultiPtr = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlSlistPtr = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// Initialises libcurl once per process; safe to call from any thread.
void ensureCurlInitialised();

// A new easy handle; throws std::runtime_error when libcurl cannot make one.
CurlEasyPtr makeCurlEasy();
CurlMultiPtr makeCurlMulti();

// Appends one header line to a list, keeping the list valid on failure.
void appendHeader(CurlSlistPtr& list, const char* line);
