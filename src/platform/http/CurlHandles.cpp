#include "platform/http/CurlHandles.h"

#include <mutex>
#include <stdexcept>

void ensureCurlInitialised() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw std::runtime_error("libcurl could not be initialised");
  });
}

CurlEasyPtr makeCurlEasy() {
  ensureCurlInitialised();
  CurlEasyPtr easy(curl_easy_init());
  if (!easy) throw std::runtime_error("libcurl could not create a transfer");
  return easy;
}

CurlMultiPtr makeCurlMulti() {
  ensureCurlInitialised();
  CurlMultiPtr multi(curl_multi_init());
  if (!multi) throw std::runtime_error("libcurl could not create a transfer set");
  return multi;
}

void appendHeader(CurlSlistPtr& list, const char* line) {
  curl_slist* extended = curl_slist_append(list.get(), line);
  if (!extended) throw std::runtime_error("out of memory for a request header");
  list.release();
  list.reset(extended);
}
