// velnara-run: the terminal face of the program, for support staff and
// end-to-end tests. It drives the same application object as the window.
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "app/SystemPlatform.h"
#include "app/Tppal.h"
#include "tools/TerminalView.h"

namespace {

const char kUsage[] =
    "usage: velnara-run [--common-data DIR] [--program-dir DIR] [--update-url URL] [--rtf FILE] "
    "[ACTION ...]\n"
    "actions: run (default), update, download, reader-page, reader=NAME\n";

struct Options {
  PlatformOptions platform;
  QString rtfFile;
  QStringList actions;
};

bool parse(const QStringList& args, Options& o) {
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const auto value = [&](QString& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return !into.isEmpty();
    };
    if (a == QStringLiteral("--common-data")) {
      if (!value(o.platform.commonData)) return false;
    } else if (a == QStringLiteral("--program-dir")) {
      if (!value(o.platform.programDir)) return false;
    } else if (a == QStringLiteral("--update-url")) {
      if (!value(o.platform.updateUrl)) return false;
    } else if (a == QStringLiteral("--rtf")) {
      if (!value(o.rtfFile)) return false;
    } else if (a == QStringLiteral("--retry-delay-ms")) {
      // Left out of the usage text: the tests' way to shorten the
      // downloader's 5 seconds between tries.
      QString delay;
      bool number = false;
      if (!value(delay)) return false;
      const int ms = delay.toInt(&number);
      if (!number || ms < 0) return false;
      o.platform.downloadRetryDelay = std::chrono::milliseconds(ms);
    } else if (a == QStringLiteral("run") || a == QStringLiteral("update") || a == QStringLiteral("download") ||
               a == QStringLiteral("reader-page") || a.startsWith(QStringLiteral("reader="))) {
      o.actions << a;
    } else {
      return false;
    }
  }
  if (o.actions.isEmpty()) o.actions << QStringLiteral("run");
  return true;
}

void printReaderPage(const TerminalView& view) {
  std::printf("Edit_gestion_1: %s\nedit_gestion_2: %s\n",
              view.editText(View::Edit::Edit_gestion_1).toUtf8().constData(),
              view.editText(View::Edit::edit_gestion_2).toUtf8().constData());
}

void perform(const QString& action, Tppal& ppal, TerminalView& view) {
  if (action == QStringLiteral("run")) {
    ppal.action_vitale2Click();
  } else if (action == QStringLiteral("update")) {
    ppal.btn_updateClick();
  } else if (action == QStringLiteral("download")) {
    ppal.btn_update_goClick();
    // The transfer runs on the downloader's threads; its events come through
    // this thread's event loop until the end handler has run.
    while (ppal.downloadInProgress() && !view.terminateRequested())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  } else if (action == QStringLiteral("reader-page")) {
    ppal.btn_configClick();
    printReaderPage(view);
  } else {  // reader=NAME
    ppal.btn_configClick();
    view.setEditText(View::Edit::edit_gestion_2, action.mid(int(sizeof("reader=") - 1)));
    ppal.btn_gestion_4Click();
    printReaderPage(view);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Options options;
  if (!parse(app.arguments(), options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  TerminalView view;
  SystemPlatform platform(view, options.platform);
  Tppal ppal(platform.services());
  ppal.FormCreate();
  if (ppal.terminateRequested()) return 4;

  const bool ansi = isatty(STDOUT_FILENO);
  for (const QString& action : options.actions) {
    perform(action, ppal, view);
    view.printState(ansi);
    if (ppal.lastUnhandledError()) {
      std::fprintf(stderr, "Velnara: %s\n", ppal.lastUnhandledError()->toUtf8().constData());
      return 3;
    }
    if (view.terminateRequested()) break;  // " Quitter", or the installer started
  }
  if (!options.rtfFile.isEmpty()) {
    view.setSaveAnswer(options.rtfFile);
    ppal.btn_sauve_fichierClick();
    if (ppal.lastUnhandledError()) {
      std::fprintf(stderr, "Velnara: %s\n", ppal.lastUnhandledError()->toUtf8().constData());
      return 3;
    }
  }
  return ppal.appli_check_continue == 0 ? 0 : 1;
}
