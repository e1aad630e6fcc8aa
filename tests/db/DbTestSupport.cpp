#include "DbTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include "platform/db/SqlCipherDatabase.h"

namespace dbtest {

QString keyed(const QString& sql) { return QStringLiteral("PRAGMA key='%1'; ").arg(kPassword) + sql; }

const QString kSampleScript = QStringLiteral(R"sql(
CREATE TABLE configuration (id TEXT PRIMARY KEY, valeur TEXT);
CREATE TABLE erreur (id TEXT PRIMARY KEY, bloquant TEXT);
CREATE TABLE fichiers (id INTEGER PRIMARY KEY, nom TEXT, dossier TEXT, taille TEXT);
INSERT INTO configuration VALUES ('date_maj', NULL);
INSERT INTO erreur VALUES ('61441', 'O'), ('61442', 'N'), ('61443', 'o'), ('61444', ''),
                          ('61445', NULL);
INSERT INTO fichiers VALUES (10, 'Contrôle é.txt', '/opt/dossier/', 1234);
INSERT INTO fichiers VALUES (2, 'velna.mvi', 'N/A', '0');
CREATE TABLE padding (x TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)
INSERT INTO padding SELECT hex(randomblob(100)) FROM n;
)sql");

void copySampleDatabase(const QString& path) {
  static QTemporaryDir folder;
  static const QString sample = [] {
    const QString file = folder.filePath(QStringLiteral("sample.mvd"));
    SqlCipherDatabase::createFromScript(file, kPassword, kSampleScript);
    return file;
  }();
  ASSERT_TRUE(QFile::copy(sample, path)) << path.toStdString();
}

CliResult runCli(const QString& file, const QString& sql) {
  QProcess cli;
  cli.start(QStringLiteral("sqlcipher"), {file, sql});
  CliResult result;
  if (!cli.waitForFinished(60000)) {
    result.err = QStringLiteral("sqlcipher did not run: ") + cli.errorString();
    return result;
  }
  result.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
  result.out = QString::fromUtf8(cli.readAllStandardOutput());
  result.err = QString::fromUtf8(cli.readAllStandardError());
  return result;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(int size, quint32 seed) {
  QRandomGenerator generator(seed);
  QByteArray bytes(size, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(generator.bounded(256));
  }
  return bytes;
}

std::vector<Row> readToEnd(ConfigDatabase& db, int width) {
  std::vector<Row> rows;
  while (!db.eof()) {
    Row row;
    for (int n = 0; n < width; ++n) {
      row.push_back(db.field(n));
    }
    rows.push_back(row);
    db.next();
  }
  return rows;
}

QStringList DbFolder::entries() const {
  return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

}  // namespace dbtest
