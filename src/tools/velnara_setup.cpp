// velnara-setup: lays out a complete installation of the program's data.
#include <cstdio>

#include <QCoreApplication>

#include "config/Installation.h"

namespace {
const char kUsage[] = "usage: velnara-setup --common-data DIR [--program-dir DIR] [--demo] [--force]\n";

bool parse(const QStringList& args, InstallRequest& r) {
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if ((a == QStringLiteral("--common-data") || a == QStringLiteral("--program-dir")) && i + 1 < args.size()) {
      (a == QStringLiteral("--common-data") ? r.commonData : r.programDir) = args[++i];
    } else if (a == QStringLiteral("--demo")) {
      r.demo = true;
    } else if (a == QStringLiteral("--force")) {
      r.force = true;
    } else {
      return false;
    }
  }
  return !r.commonData.isEmpty();
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  InstallRequest request;
  if (!parse(app.arguments(), request)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (request.programDir.isEmpty()) request.programDir = QCoreApplication::applicationDirPath();
  try {
    for (const QString& path : install(request)) std::printf("created %s\n", path.toUtf8().constData());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velnara-setup: %s\n", e.what());
    return 1;
  }
  return 0;
}
