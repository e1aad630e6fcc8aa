#include "config/Installation.h"

#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "app/DataFolders.h"
#include "platform/GroupSharing.h"
#include "platform/SystemPaths.h"
#include "platform/db/SqlCipherDatabase.h"

namespace {

const QString kPassword = QStringLiteral("Hv6Np3Xr8L");

QByteArray resource(const QString& name) {
  QFile f(QStringLiteral(":/setup/") + name);
  if (!f.open(QIODevice::ReadOnly)) throw InstallError("missing built-in resource " + name.toStdString());
  return f.readAll();
}

qint64 measured(const QString& programDir, const QString& name) {
  const QFileInfo file(QDir(programDir).filePath(name));
  if (!file.isFile()) throw InstallError("cannot measure " + file.filePath().toStdString() + ": no such file");
  return file.size();
}

// Replaces every ${taille:NAME} outside comment lines by the size of NAME in
// the program folder.
QString withFileSizes(const QString& script, const QString& programDir) {
  static const QRegularExpression placeholder(QStringLiteral(R"(\$\{taille:([^}/]+)\})"));
  QStringList lines = script.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.trimmed().startsWith(QStringLiteral("--"))) continue;
    QRegularExpressionMatch m;
    while ((m = placeholder.match(line)).hasMatch())
      line.replace(m.capturedStart(), m.capturedLength(), QString::number(measured(programDir, m.captured(1))));
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

// Writes the file unless something is already there.
void writeIfAbsent(const QString& path, const QByteArray& bytes, InstallReport& report) {
  if (QFileInfo::exists(path)) {
    report.kept << path;
    return;
  }
  writeFile(path, bytes);
  report.created << path;
}

QString databasePath(const QString& commonData) {
  return programDataFolder(commonData) + kPathSeparator + QStringLiteral("velna.mvd");
}

}  // namespace

InstallReport install(const InstallRequest& r) {
  Q_INIT_RESOURCE(setup);
  const QString dataDir = programDataFolder(r.commonData);
  const QString apilecDir = cardLibraryFolder(r.commonData);
  const QString database = databasePath(r.commonData);
  const bool newDatabase = r.force || !QFileInfo::exists(database);
  // Measure before writing anything, so that a missing program file leaves
  // nothing half-installed behind.
  const QString script = newDatabase
                             ? withFileSizes(QString::fromUtf8(resource(QStringLiteral("velna.sql")))
                                                 .replace(QStringLiteral("${bibliotheque_carte}"), kCardLibraryFile),
                                             r.programDir)
                             : QString();

  InstallReport report;
  makeFolder(dataDir);
  makeFolder(apilecDir);
  if (newDatabase) {
    SqlCipherDatabase::createFromScript(
        database, kPassword, script,
        r.force ? SqlCipherDatabase::Existing::Replace : SqlCipherDatabase::Existing::Refuse);
    try {
      shareWithTheFolderGroup(database);
    } catch (const std::runtime_error& error) {
      throw InstallError(error.what());
    }
    report.created << database;
  } else {
    report.kept << database;
  }

  writeIfAbsent(apilecDir + kPathSeparator + QStringLiteral("api_lec.ini"),
                QByteArray("[Lecteur]\r\nRessource_Vitale=") + kDemoReader.toLatin1() + "\r\n", report);
  if (r.demo) {
    for (const QString& name : {QStringLiteral("simulation.ini"), QStringLiteral("carte.xml")})
      writeIfAbsent(apilecDir + kPathSeparator + name, resource(QStringLiteral("demo/") + name), report);
  }
  return report;
}

QStringList refreshRecordedSizes(const QString& commonData, const QString& programDir) {
  SqlCipherDatabase db;
  db.connect(databasePath(commonData), kPassword);

  // Files of the program folder whose size is checked ('0' is presence only).
  struct Row {
    QString id, name, recorded;
    qint64 present = 0;
  };
  std::vector<Row> rows;
  db.setSql(QStringLiteral("SELECT id, nom, taille FROM fichiers WHERE dossier = 'N/A' AND taille <> '0' ORDER BY id"));
  db.open();
  for (db.first(); !db.eof(); db.next())
    rows.push_back({db.field(0).value_or(QString()), db.field(1).value_or(QString()), db.field(2).value_or(QString())});
  db.close();
  // Every file measured before the first change, so that a missing one
  // changes nothing.
  for (Row& row : rows) row.present = measured(programDir, row.name);

  QStringList changes;
  db.setSql(QStringLiteral("BEGIN IMMEDIATE"));
  db.execSql();
  try {
    for (const Row& row : rows) {
      if (row.recorded == QString::number(row.present)) continue;
      db.setSql(
          QStringLiteral("UPDATE fichiers SET taille = '%1' WHERE id = %2").arg(row.present).arg(row.id.toLongLong()));
      db.execSql();
      changes << QStringLiteral("%1: %2 -> %3").arg(row.name, row.recorded).arg(row.present);
    }
    db.setSql(QStringLiteral("COMMIT"));
    db.execSql();
  } catch (...) {
    try {
      db.setSql(QStringLiteral("ROLLBACK"));
      db.execSql();
    } catch (const std::exception&) {
      // The connection closing below rolls back what is left.
    }
    throw;
  }
  return changes;
}
