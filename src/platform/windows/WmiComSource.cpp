#include "platform/windows/WmiComSource.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void fail(const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  throw std::runtime_error(std::string("WMI : ") + what + " (" + code + ")");
}

// Owns one reference of a COM interface.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// A BSTR of a QString, freed with it.
class Bstr {
 public:
  explicit Bstr(const QString& text)
      : b_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()), text.size())) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

// COM on this thread for the length of a query. The window thread may have
// entered an apartment already (Qt's windows platform does): that one is used.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    if (FAILED(result_) && result_ != RPC_E_CHANGED_MODE) fail("COM ne démarre pas", result_);
    // Once per process; a second call, or one made by the framework, is fine.
    const HRESULT security = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(security) && security != RPC_E_TOO_LATE) fail("sécurité COM refusée", security);
  }
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

// "." or an empty host is this machine, named by the namespace alone.
QString resourcePath(const QString& host, const QString& namespacePath) {
  QString path = namespacePath;
  path.replace(u'/', u'\\');
  if (host.isEmpty() || host == u".") return path;
  return QStringLiteral("\\\\") + host + u'\\' + path;
}

}  // namespace

QStringList WmiComSource::query(const QString& host, const QString& namespacePath, const QString& wql) {
  const ComApartment apartment;
  ComRef<IWbemLocator> locator;
  HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                    reinterpret_cast<void**>(locator.out()));
  if (FAILED(result)) fail("le service est introuvable", result);

  ComRef<IWbemServices> services;
  const Bstr resource(resourcePath(host, namespacePath));
  result = locator->ConnectServer(resource.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.out());
  if (FAILED(result)) fail("connexion impossible", result);
  result = CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  if (FAILED(result)) fail("connexion impossible", result);

  ComRef<IEnumWbemClassObject> instances;
  const Bstr language(QStringLiteral("WQL"));
  const Bstr text(wql);
  result = services->ExecQuery(language.get(), text.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                               nullptr, instances.out());
  if (FAILED(result)) fail("requête refusée", result);

  QStringList texts;
  for (;;) {
    ComRef<IWbemClassObject> instance;
    ULONG returned = 0;
    result = instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, instance.out(), &returned);
    if (FAILED(result)) fail("lecture des résultats impossible", result);
    if (returned == 0) break;
    BSTR objectText = nullptr;
    result = instance->GetObjectText(0, &objectText);
    if (FAILED(result)) fail("texte de l'instance illisible", result);
    texts << QString::fromWCharArray(objectText, static_cast<qsizetype>(SysStringLen(objectText)));
    SysFreeString(objectText);
  }
  return texts;
}
