#pragma once

#include <chrono>
#include <optional>

#include <QString>

// Where a program start takes its folders and URLs from: the system's own,
// or the options of the terminal runner and the tests.
struct PlatformOptions {
  QString commonData;  // empty: the system's machine-wide data folder (CAD)
  QString programDir;  // empty: the executable's own folder
  QString iniFile;     // empty: the build's fixed path, or under commonData when that was given
  QString updateUrl = QStringLiteral(VELNARA_UPDATE_URL);
  QString siteUrl = QStringLiteral(VELNARA_SITE_URL);
  // Tests of the terminal runner only: a shorter wait between the
  // downloader's tries than its 5 seconds.
  std::optional<std::chrono::milliseconds> downloadRetryDelay;
};
