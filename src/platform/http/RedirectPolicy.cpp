#include "platform/http/RedirectPolicy.h"

void applyRedirectPolicy(CURL* easy, const QByteArray& url) {
  const bool secure = url.trimmed().left(6).toLower() == "https:";
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
}
