// One HTTPS request with the update check's TLS settings: the peer's
// certificate chain is not checked (VERIFYPEER 0), its host name is
// (VERIFYHOST 2). Prints the outcome on one line; exits 0 when the transfer
// succeeded, 1 when it failed.
//   smoke_curl URL
#include <curl/curl.h>

#include <cstdio>
#include <string>

static size_t collect(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: smoke_curl URL\n");
    return 2;
  }
  curl_global_init(CURL_GLOBAL_DEFAULT);
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  CURL* curl = curl_easy_init();
  std::string body;
  char error[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(curl, CURLOPT_URL, argv[1]);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  const CURLcode rc = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  std::printf("libcurl %s (%s): code=%d status=%ld body=%zu bytes error=\"%s\"\n", info->version, info->ssl_version,
              static_cast<int>(rc), status, body.size(), error);
  curl_easy_cleanup(curl);
  curl_global_cleanup();
  return rc == CURLE_OK ? 0 : 1;
}
