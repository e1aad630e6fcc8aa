#pragma once

#include <memory>

#include <QString>

#include "app/Platform.h"
#include "app/PlatformOptions.h"
#include "platform/Shell.h"

// Builds and owns the adapters of every platform service on the system the
// program runs on; the ones that differ from one system to the other come
// from SystemAdapters.h.
class SystemPlatform {
 public:
  // shell: the window's own shell adapter, or nullptr for the system's.
  SystemPlatform(View& view, const PlatformOptions& options, std::unique_ptr<Shell> shell = nullptr);
  ~SystemPlatform();
  SystemPlatform(const SystemPlatform&) = delete;
  SystemPlatform& operator=(const SystemPlatform&) = delete;

  const Platform& services() const { return services_; }
  const PlatformOptions& options() const { return options_; }

 private:
  struct Adapters;
  std::unique_ptr<Adapters> adapters_;
  PlatformOptions options_;
  Platform services_;
};
