// velnara-setup: lays out the program's data on a workstation, or records
// the sizes of program files a technician replaced.
#include <cstdio>

#include <QCoreApplication>

#include "config/Installation.h"

namespace {
const char kUsage[] =
    "usage: velnara-setup --common-data DIR [--program-dir DIR] [--demo] [--force]\n"
    "       velnara-setup --common-data DIR [--program-dir DIR] --refresh-sizes\n"
    "Lays out what is missing and keeps what exists; --force replaces the database\n"
    "(never the card library's settings file). --refresh-sizes records the present\n"
    "sizes of the program's files in the database and changes nothing else.\n";

struct Options {
  InstallRequest request;
  bool refreshSizes = false;
};

bool parse(const QStringList& args, Options& o) {
  InstallRequest& r = o.request;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if ((a == QStringLiteral("--common-data") || a == QStringLiteral("--program-dir")) && i + 1 < args.size()) {
      (a == QStringLiteral("--common-data") ? r.commonData : r.programDir) = args[++i];
    } else if (a == QStringLiteral("--demo")) {
      r.demo = true;
    } else if (a == QStringLiteral("--force")) {
      r.force = true;
    } else if (a == QStringLiteral("--refresh-sizes")) {
      o.refreshSizes = true;
    } else {
      return false;
    }
  }
  // Refreshing sizes lays out nothing.
  if (o.refreshSizes && (r.demo || r.force)) return false;
  return !r.commonData.isEmpty();
}

void print(const char* what, const QStringList& lines) {
  for (const QString& line : lines) std::printf("%s%s\n", what, line.toUtf8().constData());
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Options options;
  if (!parse(app.arguments(), options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  InstallRequest& request = options.request;
  if (request.programDir.isEmpty()) request.programDir = QCoreApplication::applicationDirPath();
  try {
    if (options.refreshSizes) {
      const QStringList changes = refreshRecordedSizes(request.commonData, request.programDir);
      print("size of ", changes);
      if (changes.isEmpty()) std::puts("every recorded size is up to date");
    } else {
      const InstallReport report = install(request);
      print("created ", report.created);
      print("kept ", report.kept);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velnara-setup: %s\n", e.what());
    return 1;
  }
  return 0;
}
