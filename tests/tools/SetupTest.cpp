// velnara-setup lays out an installation that the program and support
// staff's tools accept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "platform/db/SqlCipherDatabase.h"
#include "support/ToolSupport.h"

namespace {

// A workstation's settings file, as the card library's own installer and
// Windows tools leave it: a byte-order mark, comments, other sections.
const QByteArray kVendorSettings =
    "\xEF\xBB\xBF; api_lec\r\n[Lecteur]\r\nRessource_Vitale=Lecteur du poste\r\nVitesse=9600\r\n"
    "[Traces]\r\nNiveau=2\r\n";

void setStoredDate(const QString& database, const QString& date) {
  SqlCipherDatabase db;
  db.connect(database, QStringLiteral("Hv6Np3Xr8L"));
  db.setSql(QStringLiteral("UPDATE configuration SET valeur = '%1' WHERE id = 'date_maj'").arg(date));
  db.execSql();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace

TEST(Setup, DemoInstallationHasDatabaseSettingsAndScenario) {
  QTemporaryDir cad;
  const ToolResult r = setUpDemo(cad.path());
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  const QString db = cad.filePath(QStringLiteral("Trelvo/velna/velna.mvd"));
  const QString ini = cad.filePath(QStringLiteral("santesocial/api_lec/api_lec.ini"));
  for (const QString& path : {db, ini, cad.filePath(QStringLiteral("santesocial/api_lec/simulation.ini")),
                              cad.filePath(QStringLiteral("santesocial/api_lec/carte.xml"))}) {
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("created ") + path)) << r.out.toStdString();
  }
  EXPECT_EQ(fileBytes(ini), QByteArray("[Lecteur]\r\nRessource_Vitale=Generic Usb Smart Card Reader 0\r\n"));

  SqlCipherDatabase database;
  database.connect(db, QStringLiteral("Hv6Np3Xr8L"));
  database.setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
  database.open();
  EXPECT_FALSE(database.eof());
  EXPECT_EQ(database.field(0), std::nullopt);
  database.close();

  database.setSql(QStringLiteral("SELECT id, nom, dossier, taille FROM fichiers ORDER BY id ASC"));
  database.open();
  QStringList rows;
  for (database.first(); !database.eof(); database.next())
    rows << database.field(1).value_or(QString()) + QLatin1Char('|') + database.field(2).value_or(QString()) +
                QLatin1Char('|') + database.field(3).value_or(QString());
  database.close();
  const QString bin = QStringLiteral(VELNARA_BIN_DIR);
  // The card library is checked for presence only: its vendor updates it.
  EXPECT_EQ(rows, QStringList({QStringLiteral("velna.mvi|N/A|%1").arg(QFileInfo(bin + "/velna.mvi").size()),
                               QStringLiteral("libapi_lec.so|N/A|0"), QStringLiteral("api_lec.ini|apilec|0")}));
  for (const char* code : {"61441", "61442"}) {
    database.setSql(QStringLiteral("SELECT bloquant FROM erreur WHERE id=\"%1\"").arg(QLatin1String(code)));
    database.open();
    EXPECT_EQ(database.field(0), QStringLiteral("O")) << code;
    database.close();
  }
}

TEST(Setup, KeepsWhatExistsAndNeverReplacesTheSettingsFile) {
  QTemporaryDir cad;
  const QString apilec = cad.filePath(QStringLiteral("santesocial/api_lec"));
  ASSERT_TRUE(QDir().mkpath(apilec));
  const QString ini = apilec + QStringLiteral("/api_lec.ini");
  writeBytes(ini, kVendorSettings);

  // A first installation on a workstation that already has its settings file.
  const ToolResult first = setUpDemo(cad.path());
  ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
  EXPECT_TRUE(first.out.contains(QStringLiteral("kept ") + ini)) << first.out.toStdString();
  EXPECT_EQ(fileBytes(ini), kVendorSettings);

  // Run again, the database and the demo files are kept as they are.
  const QString db = cad.filePath(QStringLiteral("Trelvo/velna/velna.mvd"));
  const QString card = apilec + QStringLiteral("/carte.xml");
  setStoredDate(db, QStringLiteral("20261201"));
  writeBytes(card, "<carte modifiee/>");
  const ToolResult again = setUpDemo(cad.path());
  EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
  EXPECT_TRUE(again.out.contains(QStringLiteral("kept ") + db)) << again.out.toStdString();
  EXPECT_EQ(storedUpdateDate(db), QStringLiteral("20261201"));
  EXPECT_EQ(fileBytes(card), QByteArray("<carte modifiee/>"));

  // --force is about the database alone.
  const ToolResult forced = runTool(QStringLiteral("velnara-setup"),
                                    {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--force")});
  EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
  EXPECT_EQ(storedUpdateDate(db), QStringLiteral("(null)"));
  EXPECT_EQ(fileBytes(ini), kVendorSettings);
}

TEST(Setup, RefreshedSizesFollowTheFilesAndNothingElseChanges) {
  QTemporaryDir cad, program;
  const QString logo = program.filePath(QStringLiteral("velna.mvi"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/velna.mvi"), logo));
  const QStringList where = {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--program-dir"),
                             program.path()};
  ASSERT_EQ(runTool(QStringLiteral("velnara-setup"), where).exitCode, 0);
  const QString db = cad.filePath(QStringLiteral("Trelvo/velna/velna.mvd"));
  setStoredDate(db, QStringLiteral("20261201"));

  // A technician puts another logo in place: its size changes.
  const qint64 oldSize = QFileInfo(logo).size();
  QByteArray newLogo = fileBytes(logo);
  newLogo.append(QByteArray(100, '\0'));
  writeBytes(logo, newLogo);

  const ToolResult refreshed = runTool(QStringLiteral("velnara-setup"), where + QStringList{"--refresh-sizes"});
  ASSERT_EQ(refreshed.exitCode, 0) << refreshed.err.toStdString();
  EXPECT_TRUE(refreshed.out.contains(QStringLiteral("size of velna.mvi: %1 -> %2").arg(oldSize).arg(newLogo.size())))
      << refreshed.out.toStdString();

  SqlCipherDatabase database;
  database.connect(db, QStringLiteral("Hv6Np3Xr8L"));
  database.setSql(QStringLiteral("SELECT nom, taille FROM fichiers ORDER BY id"));
  database.open();
  QStringList rows;
  for (database.first(); !database.eof(); database.next())
    rows << database.field(0).value_or(QString()) + QLatin1Char('|') + database.field(1).value_or(QString());
  database.close();
  EXPECT_EQ(rows, QStringList({QStringLiteral("velna.mvi|%1").arg(newLogo.size()), QStringLiteral("libapi_lec.so|0"),
                               QStringLiteral("api_lec.ini|0")}));
  EXPECT_EQ(storedUpdateDate(db), QStringLiteral("20261201"));

  // A file that is gone is not measured: nothing changes.
  ASSERT_TRUE(QFile::remove(logo));
  const ToolResult missing = runTool(QStringLiteral("velnara-setup"), where + QStringList{"--refresh-sizes"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains(QStringLiteral("velna.mvi"))) << missing.err.toStdString();
  database.setSql(QStringLiteral("SELECT taille FROM fichiers WHERE nom = 'velna.mvi'"));
  database.open();
  EXPECT_EQ(database.field(0), QString::number(newLogo.size()));
}

TEST(Setup, MissingProgramFileStopsBeforeWritingAnything) {
  QTemporaryDir cad, program;
  const ToolResult r = runTool(QStringLiteral("velnara-setup"), {QStringLiteral("--common-data"), cad.path(),
                                                                 QStringLiteral("--program-dir"), program.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("velna.mvi"))) << r.err.toStdString();
  EXPECT_TRUE(QDir(cad.path()).isEmpty());
}

TEST(Setup, DatabaseOpensInTheSqlcipherTool) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  QProcess p;
  p.start(QStringLiteral("sqlcipher"), {cad.filePath(QStringLiteral("Trelvo/velna/velna.mvd"))});
  p.write("PRAGMA key='Hv6Np3Xr8L';\nSELECT nom FROM fichiers ORDER BY id;\n");
  p.closeWriteChannel();
  p.waitForFinished(30000);
  EXPECT_TRUE(p.readAllStandardOutput().contains("libapi_lec.so"));
}

// The package makes the data folder set-group-ID for its group: a database
// laid out there by hand is the group's to write, whatever the umask.
TEST(Setup, InASharedDataFolderTheDatabaseIsWritableByTheGroup) {
  QTemporaryDir cad;
  const QString data = cad.filePath(QStringLiteral("Trelvo/velna"));
  ASSERT_TRUE(QDir().mkpath(data));
  ASSERT_EQ(::chmod(QFile::encodeName(data).constData(), 02770), 0);
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  EXPECT_TRUE(QFile::permissions(data + QStringLiteral("/velna.mvd")) & QFileDevice::WriteGroup);
}
