#pragma once

#include <curl/curl.h>

// Server certificates: dates, authority, revocation and usage are not checked,
// but the certificate must name the host we asked for. Updates are served from
// hosts whose certificates are not always current, yet talking to the wrong
// host must never pass.
void applyCertificatePolicy(CURL* easy);
