#pragma once

#include <memory>
#include <string>

#include <openssl/evp.h>
#include <openssl/x509.h>

// A self-signed certificate made at test time, for a local HTTPS server.
struct TestCertificate {
  struct X509Deleter {
    void operator()(X509* x509) const { X509_free(x509); }
  };
  struct KeyDeleter {
    void operator()(EVP_PKEY* pkey) const { EVP_PKEY_free(pkey); }
  };
  std::unique_ptr<X509, X509Deleter> certificate;
  std::unique_ptr<EVP_PKEY, KeyDeleter> key;

  // For `hostName` (subject and subject alternative name), valid from
  // `validFromDays` to `validToDays` days from now (negative in the past).
  static TestCertificate make(const std::string& hostName, long validFromDays = -1, long validToDays = 365);
};
