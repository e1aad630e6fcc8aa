#include "app/SystemPlatform.h"

#include "app/SystemAdapters.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/View.h"
#include "platform/WmiSource.h"
#include "platform/card/ApiLecLibrary.h"
#include "platform/db/SqlCipherDatabase.h"
#include "platform/downloader/CurlDownloader.h"
#include "platform/http/CurlHttpClient.h"
#include "platform/xml/LibXmlDocument.h"

struct SystemPlatform::Adapters {
  std::unique_ptr<Shell> shell;
  FixedFolders folders;
  SystemClock clock;
  SystemAdapters system = makeSystemAdapters();
  SqlCipherDatabase db;
  CurlHttpClient http;
  CurlDownloader downloader;
  ApiLecLibrary card;
  // The update check waits for the network on the window thread: the client
  // keeps the window alive through the view's pump meanwhile.
  Adapters(View& view, const PlatformOptions& o, std::unique_ptr<Shell> s)
      : shell(std::move(s)), folders(o.commonData, o.programDir, o.iniFile), http([&view] { view.pump(); }) {}
};

SystemPlatform::SystemPlatform(View& view, const PlatformOptions& options, std::unique_ptr<Shell> shell)
    : options_(withSystemFolders(options)) {
  if (!shell) shell = makeSystemShell();
  adapters_ = std::make_unique<Adapters>(view, options_, std::move(shell));
  Adapters& a = *adapters_;
  if (options_.downloadRetryDelay) a.downloader.setRetryDelayForTesting(*options_.downloadRetryDelay);
  services_.view = &view;
  services_.card = &a.card;
  services_.db = &a.db;
  services_.ini = a.system.ini.get();
  services_.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
  services_.http = &a.http;
  services_.downloader = &a.downloader;
  services_.shell = a.shell.get();
  services_.wmi = a.system.wmi.get();
  services_.files = a.system.files.get();
  services_.clock = &a.clock;
  services_.folders = &a.folders;
  services_.updateUrl = options_.updateUrl;
  services_.siteUrl = options_.siteUrl;
}

SystemPlatform::~SystemPlatform() = default;
