#include "app/LinuxPlatform.h"

#include <QCoreApplication>
#include <QDir>

#include "app/DataFolders.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/View.h"
#include "platform/card/ApiLecLibrary.h"
#include "platform/db/SqlCipherDatabase.h"
#include "platform/downloader/CurlDownloader.h"
#include "platform/files/LinuxFiles.h"
#include "platform/http/CurlHttpClient.h"
#include "platform/ini/WindowsIniFile.h"
#include "platform/shell/LinuxShell.h"
#include "platform/wmi/LinuxWmiSource.h"
#include "platform/xml/LibXmlDocument.h"

namespace {
QString defaultProgramDir() {
  return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

PlatformOptions resolved(PlatformOptions options) {
  if (options.programDir.isEmpty()) options.programDir = defaultProgramDir();
  if (options.iniFile.isEmpty()) {
    // The settings file has a fixed path of its own, unless the data folder
    // was moved (tests, demos, the terminal runner's option).
    options.iniFile = options.commonData == QStringLiteral(VELNARA_COMMON_DATA_DIR)
                          ? QStringLiteral(VELNARA_APILEC_INI)
                          : cardLibraryFolder(options.commonData) + QStringLiteral("/api_lec.ini");
  }
  return options;
}
}  // namespace

struct LinuxPlatform::Adapters {
  std::unique_ptr<Shell> shell;
  FixedFolders folders;
  SystemClock clock;
  LinuxFiles files;
  WindowsIniFile ini;
  LinuxWmiSource wmi;
  SqlCipherDatabase db;
  CurlHttpClient http;
  CurlDownloader downloader;
  ApiLecLibrary card;
  // The update check waits for the network on the window thread: the client
  // keeps the window alive through the view's pump meanwhile.
  Adapters(View& view, const PlatformOptions& o, std::unique_ptr<Shell> s)
      : shell(std::move(s)), folders(o.commonData, o.programDir, o.iniFile), http([&view] { view.pump(); }) {}
};

LinuxPlatform::LinuxPlatform(View& view, const PlatformOptions& options, std::unique_ptr<Shell> shell)
    : options_(resolved(options)) {
  if (!shell) shell = std::make_unique<LinuxShell>();
  adapters_ = std::make_unique<Adapters>(view, options_, std::move(shell));
  Adapters& a = *adapters_;
  if (options_.downloadRetryDelay) a.downloader.setRetryDelayForTesting(*options_.downloadRetryDelay);
  services_.view = &view;
  services_.card = &a.card;
  services_.db = &a.db;
  services_.ini = &a.ini;
  services_.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
  services_.http = &a.http;
  services_.downloader = &a.downloader;
  services_.shell = a.shell.get();
  services_.wmi = &a.wmi;
  services_.files = &a.files;
  services_.clock = &a.clock;
  services_.folders = &a.folders;
  services_.updateUrl = options_.updateUrl;
  services_.siteUrl = options_.siteUrl;
}

LinuxPlatform::~LinuxPlatform() = default;
