#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include <QString>

#include "app/Platform.h"
#include "platform/Shell.h"

// Where a program start takes its folders and URLs from: the build's
// defaults, or the options of the terminal runner.
struct PlatformOptions {
  QString commonData = QStringLiteral(VELNARA_COMMON_DATA_DIR);
  QString programDir;  // empty: the executable's own folder
  QString iniFile;     // empty: the build's fixed path, or under commonData when it was given
  QString updateUrl = QStringLiteral(VELNARA_UPDATE_URL);
  QString siteUrl = QStringLiteral(VELNARA_SITE_URL);
  // Tests of the terminal runner only: a shorter wait between the
  // downloader's tries than its 5 seconds.
  std::optional<std::chrono::milliseconds> downloadRetryDelay;
};

// Builds and owns the Linux adapters of every platform service.
class LinuxPlatform {
 public:
  // shell: the window's own shell adapter, or nullptr for the terminal one.
  LinuxPlatform(View& view, const PlatformOptions& options, std::unique_ptr<Shell> shell = nullptr);
  ~LinuxPlatform();
  LinuxPlatform(const LinuxPlatform&) = delete;
  LinuxPlatform& operator=(const LinuxPlatform&) = delete;

  const Platform& services() const { return services_; }
  const PlatformOptions& options() const { return options_; }

 private:
  struct Adapters;
  std::unique_ptr<Adapters> adapters_;
  PlatformOptions options_;
  Platform services_;
};
