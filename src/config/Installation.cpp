#include "config/Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "app/DataFolders.h"
#include "platform/db/SqlCipherDatabase.h"

namespace {

const QString kPassword = QStringLiteral("Hv6Np3Xr8L");

QByteArray resource(const QString& name) {
  QFile f(QStringLiteral(":/setup/") + name);
  if (!f.open(QIODevice::ReadOnly)) throw InstallError("missing built-in resource " + name.toStdString());
  return f.readAll();
}

// Replaces every ${taille:NAME} outside comment lines by the size of NAME in
// the program folder.
QString withFileSizes(const QString& script, const QString& programDir) {
  static const QRegularExpression placeholder(QStringLiteral(R"(\$\{taille:([^}/]+)\})"));
  QStringList lines = script.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.trimmed().startsWith(QStringLiteral("--"))) continue;
    QRegularExpressionMatch m;
    while ((m = placeholder.match(line)).hasMatch()) {
      const QFileInfo file(QDir(programDir).filePath(m.captured(1)));
      if (!file.isFile()) throw InstallError("cannot measure " + file.filePath().toStdString() + ": no such file");
      line.replace(m.capturedStart(), m.capturedLength(), QString::number(file.size()));
    }
  }
  return lines.join(QLatin1Char('\n'));
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
    throw InstallError("cannot write " + path.toStdString() + ": " + f.errorString().toStdString());
}

void makeFolder(const QString& path) {
  if (!QDir().mkpath(path)) throw InstallError("cannot create folder " + path.toStdString());
}

}  // namespace

QStringList install(const InstallRequest& r) {
  Q_INIT_RESOURCE(setup);
  const QString dataDir = programDataFolder(r.commonData);
  const QString apilecDir = cardLibraryFolder(r.commonData);
  const QString database = dataDir + QStringLiteral("/velna.mvd");
  const QString settings = apilecDir + QStringLiteral("/api_lec.ini");

  if (!r.force) {
    for (const QString& existing : {database, settings})
      if (QFileInfo::exists(existing))
        throw InstallError(existing.toStdString() + " already exists (use --force to replace it)");
  }
  // Measure before writing anything, so that a missing program file leaves
  // nothing half-installed behind.
  const QString script = withFileSizes(QString::fromUtf8(resource(QStringLiteral("velna.sql"))), r.programDir);

  makeFolder(dataDir);
  makeFolder(apilecDir);
  SqlCipherDatabase::createFromScript(
      database, kPassword, script,
      r.force ? SqlCipherDatabase::Existing::Replace : SqlCipherDatabase::Existing::Refuse);
  QStringList written{database};

  writeFile(settings, QByteArray("[Lecteur]\r\nRessource_Vitale=") + kDemoReader.toLatin1() + "\r\n");
  written << settings;

  if (r.demo) {
    for (const QString& name : {QStringLiteral("simulation.ini"), QStringLiteral("carte.xml")}) {
      const QString path = apilecDir + QLatin1Char('/') + name;
      writeFile(path, resource(QStringLiteral("demo/") + name));
      written << path;
    }
  }
  return written;
}
