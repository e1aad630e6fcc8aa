#include "platform/http/CertificatePolicy.h"

void applyCertificatePolicy(CURL* easy) {
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
}
