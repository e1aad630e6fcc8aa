// The installation that cmake --install lays out, as the Debian packages
// carry it: the programs, their logo and the card library in usr/lib/velnara,
// the commands in usr/bin as symlinks to them, the desktop files in
// usr/share. The installed programs must work from there alone, with nothing
// of the build folder.
#include <gtest/gtest.h>

#include <filesystem>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/DataFolders.h"

// A namespace of its own: the tools' tests are compiled in unity batches.
namespace install_tree {
namespace {

const QString kBuildDir = QFileInfo(QStringLiteral(VELNARA_BIN_DIR)).absolutePath();
const QString kPrograms = QStringLiteral("/usr/lib/velnara");
const QString kAppId = QStringLiteral("fr.trelvo.Velnara");

struct Ran {
  int exitCode = -1;
  QString out, err;
};

Ran execute(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program, args);
  if (!p.waitForStarted()) return {-1, QString(), QStringLiteral("cannot start ") + program};
  if (!p.waitForFinished(240000)) {
    p.kill();
    p.waitForFinished();
    return {-1, QString(), QStringLiteral("did not end: ") + program};
  }
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

// Runs a program with the environment of a French workstation (or another
// locale): no library path that could lead the loader to the build folder.
Ran run(const QString& program, const QStringList& args, const QString& locale = QStringLiteral("fr_FR.UTF-8")) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("LD_LIBRARY_PATH"));
  env.remove(QStringLiteral("LC_ALL"));
  env.insert(QStringLiteral("LANG"), locale);
  return execute(program, args, env);
}

// The cmake that configured the build folder.
QString cmakeOfTheBuild() {
  QFile cache(kBuildDir + QStringLiteral("/CMakeCache.txt"));
  if (cache.open(QIODevice::ReadOnly)) {
    const QByteArray key = "CMAKE_COMMAND:INTERNAL=";
    for (QByteArray line = cache.readLine(); !line.isEmpty(); line = cache.readLine())
      if (line.startsWith(key)) return QString::fromUtf8(line.mid(key.size()).trimmed());
  }
  return QStringLiteral("cmake");
}

// cmake --install of the build folder with prefix /usr into destdir, all
// components or only one.
Ran install(const QString& destdir, const QString& component = QString()) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DESTDIR"), destdir);
  QStringList args{QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"), QStringLiteral("/usr")};
  if (!component.isEmpty()) args << QStringLiteral("--component") << component;
  return execute(cmakeOfTheBuild(), args, env);
}

// Every file and symlink under root, as paths relative to it.
QStringList filesUnder(const QString& root) {
  QStringList found;
  QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) found << QDir(root).relativeFilePath(it.next());
  found.sort();
  return found;
}

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The RPATH and RUNPATH entries of an ELF file, read with readelf. A file
// that is no ELF object fails the test instead of having no entry. Read in
// the C locale, which readelf does not translate.
QStringList librarySearchPath(const QString& file) {
  const Ran r = run(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral("-W"), file}, QStringLiteral("C"));
  EXPECT_EQ(r.exitCode, 0) << file.toStdString() << ": " << r.err.toStdString();
  EXPECT_TRUE(r.out.contains(QStringLiteral("Dynamic section"))) << file.toStdString() << ": " << r.out.toStdString();
  static const QRegularExpression entry(
      QStringLiteral(R"(\((?:RPATH|RUNPATH)\)\s+Library r(?:un)?path: \[([^\]]*)\])"));
  QStringList paths;
  for (auto it = entry.globalMatch(r.out); it.hasNext();) paths << it.next().captured(1).split(QLatin1Char(':'));
  return paths;
}

void expectSameBytes(const QString& installed, const QString& source) {
  const QByteArray want = contents(source);
  ASSERT_FALSE(want.isEmpty()) << source.toStdString();
  EXPECT_EQ(contents(installed), want) << installed.toStdString();
}

}  // namespace

TEST(InstallTree, ComponentsLayOutTheDebianPlaces) {
  QTemporaryDir main, simulator;
  const Ran mainInstall = install(main.path(), QStringLiteral("velnara"));
  ASSERT_EQ(mainInstall.exitCode, 0) << mainInstall.out.toStdString() << mainInstall.err.toStdString();
  const Ran simulatorInstall = install(simulator.path(), QStringLiteral("simulator"));
  ASSERT_EQ(simulatorInstall.exitCode, 0) << simulatorInstall.out.toStdString() << simulatorInstall.err.toStdString();

  // The stand-in card library ships alone, and only there.
  EXPECT_EQ(filesUnder(simulator.path()).join(u' ').toStdString(), "usr/lib/velnara/libapi_lec.so");
  const QStringList mainFiles = filesUnder(main.path());
  EXPECT_TRUE(mainFiles.filter(QStringLiteral("libapi_lec")).isEmpty()) << mainFiles.join(u' ').toStdString();

  const QString programs = main.path() + kPrograms;
  for (const QString& program :
       {QStringLiteral("velnara"), QStringLiteral("velnara-run"), QStringLiteral("velnara-setup")}) {
    const QFileInfo real(programs + QLatin1Char('/') + program);
    EXPECT_TRUE(real.isFile() && !real.isSymLink() && real.isExecutable()) << real.filePath().toStdString();
    // Relative, so that it resolves inside a staging folder as on the
    // workstation.
    const std::filesystem::path command = (main.path() + QStringLiteral("/usr/bin/") + program).toStdString();
    ASSERT_TRUE(std::filesystem::is_symlink(command)) << command;
    EXPECT_EQ(std::filesystem::read_symlink(command), std::filesystem::path("../lib/velnara") / program.toStdString());
    EXPECT_EQ(QFileInfo(QString::fromStdString(command.string())).canonicalFilePath().toStdString(),
              real.canonicalFilePath().toStdString());
    EXPECT_EQ(librarySearchPath(real.filePath()).join(u':').toStdString(), "$ORIGIN") << program.toStdString();
  }
  for (const QString& entry : librarySearchPath(simulator.path() + kPrograms + QStringLiteral("/libapi_lec.so"))) {
    EXPECT_FALSE(entry.contains(kBuildDir)) << entry.toStdString();
    EXPECT_FALSE(entry.contains(QStringLiteral(VELNARA_SOURCE_DIR))) << entry.toStdString();
  }
  expectSameBytes(programs + QStringLiteral("/velna.mvi"), QStringLiteral(VELNARA_SOURCE_DIR "/resources/velna.mvi"));
  expectSameBytes(
      main.path() + QStringLiteral("/usr/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
      QStringLiteral(VELNARA_SOURCE_DIR "/resources/pictures/velnara.svg"));

  const QString desktop =
      QString::fromUtf8(contents(main.path() + QStringLiteral("/usr/share/applications/") + kAppId + ".desktop"));
  EXPECT_TRUE(desktop.contains(QStringLiteral("\nExec=velnara\n"))) << desktop.toStdString();
  EXPECT_TRUE(desktop.contains(QStringLiteral("\nIcon=") + kAppId + QLatin1Char('\n'))) << desktop.toStdString();
  const QString metainfo =
      QString::fromUtf8(contents(main.path() + QStringLiteral("/usr/share/metainfo/") + kAppId + ".metainfo.xml"));
  EXPECT_TRUE(metainfo.contains(QStringLiteral("<id>") + kAppId + QStringLiteral("</id>"))) << metainfo.toStdString();
  EXPECT_TRUE(metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">") + kAppId +
                                QStringLiteral(".desktop</launchable>")))
      << metainfo.toStdString();

  // pkexec allows exactly the installer the program downloads into its data
  // folder.
  const QString policy =
      QString::fromUtf8(contents(main.path() + QStringLiteral("/usr/share/polkit-1/actions/") + kAppId + ".policy"));
  const QString installer =
      programDataFolder(QStringLiteral(VELNARA_COMMON_DATA_DIR)) + QLatin1Char('/') + kSoftwareName + "-last.exe";
  EXPECT_TRUE(policy.contains(QStringLiteral("<annotate key=\"org.freedesktop.policykit.exec.path\">") + installer +
                              QStringLiteral("</annotate>")))
      << policy.toStdString();
  EXPECT_TRUE(
      policy.contains(QStringLiteral("<annotate key=\"org.freedesktop.policykit.exec.allow_gui\">true</annotate>")))
      << policy.toStdString();
}

TEST(InstallTree, InstalledProgramsWorkFromTheirOwnFolder) {
  QTemporaryDir destdir, cad;
  const Ran installed = install(destdir.path());
  ASSERT_EQ(installed.exitCode, 0) << installed.out.toStdString() << installed.err.toStdString();
  const QString bin = destdir.path() + QStringLiteral("/usr/bin/");
  const QString programs = destdir.path() + kPrograms;

  const Ran setup = run(bin + QStringLiteral("velnara-setup"),
                        {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--demo")});
  ASSERT_EQ(setup.exitCode, 0) << setup.out.toStdString() << setup.err.toStdString();

  const QStringList runArgs{QStringLiteral("--common-data"), cad.path(), QStringLiteral("--update-url"),
                            QStringLiteral("https://127.0.0.1:9/x"), QStringLiteral("run")};
  const Ran ok = run(bin + QStringLiteral("velnara-run"), runArgs);
  ASSERT_EQ(ok.exitCode, 0) << ok.out.toStdString() << ok.err.toStdString();
  EXPECT_TRUE(ok.out.contains(QStringLiteral("\npage: tab_pdf\n"))) << ok.out.toStdString();
  EXPECT_TRUE(ok.out.contains(QStringLiteral("velna.mvi (N/A) : présent (taille valide)"))) << ok.out.toStdString();
  EXPECT_TRUE(contents(programDataFolder(cad.path()) + QStringLiteral("/velnara.pdf")).startsWith("%PDF"));

  // The build folder still has its logo and card library: taking the
  // installed ones away shows which the installed program uses.
  ASSERT_TRUE(QFile::remove(programs + QStringLiteral("/velna.mvi")));
  const Ran noLogo = run(bin + QStringLiteral("velnara-run"), runArgs);
  EXPECT_EQ(noLogo.exitCode, 1) << noLogo.out.toStdString() << noLogo.err.toStdString();
  EXPECT_TRUE(noLogo.out.contains(QStringLiteral("velna.mvi (N/A) : manquant"))) << noLogo.out.toStdString();

  ASSERT_TRUE(QFile::remove(programs + QStringLiteral("/libapi_lec.so")));
  const Ran noLibrary = run(bin + QStringLiteral("velnara-run"), runArgs);
  EXPECT_EQ(noLibrary.exitCode, 127) << noLibrary.out.toStdString() << noLibrary.err.toStdString();
  EXPECT_TRUE(noLibrary.err.contains(QStringLiteral("libapi_lec.so"))) << noLibrary.err.toStdString();
}

}  // namespace install_tree
