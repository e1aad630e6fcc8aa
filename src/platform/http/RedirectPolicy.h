#pragma once

#include <curl/curl.h>
#include <QByteArray>

// Redirects are followed for at most this many hops.
inline constexpr long kMaxRedirects = 5;

// Follows redirects, at most kMaxRedirects of them, and from an https address
// only to https ones: the certificate policy lets anyone who can get a
// certificate for the host's name play the server, and a redirect to plain
// http would also hand the exchange to anyone on the way.
void applyRedirectPolicy(CURL* easy, const QByteArray& url);
