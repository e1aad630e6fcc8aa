// velnara-setup lays out an installation that the program and support
// staff's tools accept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/db/SqlCipherDatabase.h"
#include "support/ToolSupport.h"

namespace {
QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
  EXPECT_EQ(contents(ini), QByteArray("[Lecteur]\r\nRessource_Vitale=Generic Usb Smart Card Reader 0\r\n"));

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
  EXPECT_EQ(rows, QStringList({QStringLiteral("velna.mvi|N/A|%1").arg(QFileInfo(bin + "/velna.mvi").size()),
                               QStringLiteral("libapi_lec.so|N/A|%1").arg(QFileInfo(bin + "/libapi_lec.so").size()),
                               QStringLiteral("api_lec.ini|apilec|0")}));
  for (const char* code : {"61441", "61442"}) {
    database.setSql(QStringLiteral("SELECT bloquant FROM erreur WHERE id=\"%1\"").arg(QLatin1String(code)));
    database.open();
    EXPECT_EQ(database.field(0), QStringLiteral("O")) << code;
    database.close();
  }
}

TEST(Setup, NeverReplacesAnExistingInstallationWithoutForce) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  const QString ini = cad.filePath(QStringLiteral("santesocial/api_lec/api_lec.ini"));
  QFile f(ini);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Lecteur]\r\nRessource_Vitale=Autre\r\n");
  f.close();

  const ToolResult again = setUpDemo(cad.path());
  EXPECT_NE(again.exitCode, 0);
  EXPECT_TRUE(again.err.contains(QStringLiteral("already exists"))) << again.err.toStdString();
  EXPECT_EQ(contents(ini), QByteArray("[Lecteur]\r\nRessource_Vitale=Autre\r\n"));

  const ToolResult forced = runTool(QStringLiteral("velnara-setup"),
                                    {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--force")});
  EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
  EXPECT_TRUE(contents(ini).contains("Generic Usb Smart Card Reader 0"));
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
