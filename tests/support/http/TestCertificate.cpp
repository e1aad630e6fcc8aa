#include "support/http/TestCertificate.h"

#include <stdexcept>

#include <openssl/x509v3.h>

namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

void addAlternativeName(X509* certificate, const std::string& hostName) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  const std::string value = "DNS:" + hostName;
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, value.c_str());
  check(extension != nullptr, "subject alternative name");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

}  // namespace

TestCertificate TestCertificate::make(const std::string& hostName, long validFromDays, long validToDays) {
  constexpr long kDay = 24 * 60 * 60;
  TestCertificate result;
  result.key.reset(EVP_EC_gen("P-256"));
  check(result.key != nullptr, "key");
  result.certificate.reset(X509_new());
  X509* certificate = result.certificate.get();
  check(certificate != nullptr, "allocation");
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate), validFromDays * kDay);
  X509_gmtime_adj(X509_getm_notAfter(certificate), validToDays * kDay);
  X509_set_pubkey(certificate, result.key.get());
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(hostName.c_str()), -1, -1,
                             0);
  X509_set_issuer_name(certificate, name);
  addAlternativeName(certificate, hostName);
  check(X509_sign(certificate, result.key.get(), EVP_sha256()) > 0, "signature");
  return result;
}
