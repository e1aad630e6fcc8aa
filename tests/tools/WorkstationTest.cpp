// The program on a workstation: the ordinary users of the program's group
// share one data folder laid out as the package lays it out, a user outside
// the group is told which group to join, and the vendor's card library may
// be of any size.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/OrdinaryUser.h"
#include "support/ToolSupport.h"

namespace {

const QString kClosedUpdatePage = QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php");

// velnara-run ACTION as that user, the update page out of reach.
ToolResult runAs(const SharedInstallation& install, const OrdinaryUser& user, const QString& action) {
  return install.run(user, {QStringLiteral("--update-url"), kClosedUpdatePage, action});
}

QString certificateOf(const SharedInstallation& install) {
  return install.dataFolder() + QStringLiteral("/velnara.pdf");
}

}  // namespace

TEST(Workstation, MembersOfTheGroupRunOneAfterAnother) {
  if (const QString why = whyNotAsOrdinaryUser(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  SharedInstallation install;
  ASSERT_TRUE(install.shared);

  // The first run of the day checks for an update (the server is out of
  // reach) and stores the date, then writes the certificate.
  const ToolResult first = runAs(install, {65534, kDataGroup}, QStringLiteral("run"));
  ASSERT_EQ(first.exitCode, 0) << first.out.toStdString() << first.err.toStdString();
  EXPECT_TRUE(first.out.contains(QStringLiteral("\npage: tab_pdf\n"))) << first.out.toStdString();
  EXPECT_EQ(install.storedDate(), QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
  EXPECT_TRUE(fileBytes(certificateOf(install)).startsWith("%PDF"));

  // Another member writes the certificate the first one made.
  const qint64 firstSize = QFileInfo(certificateOf(install)).size();
  ASSERT_TRUE(QFile::resize(certificateOf(install), 0)) << "the test needs to see the certificate written again";
  const ToolResult second = runAs(install, {65533, kDataGroup}, QStringLiteral("run"));
  EXPECT_EQ(second.exitCode, 0) << second.out.toStdString() << second.err.toStdString();
  EXPECT_FALSE(second.out.contains(QStringLiteral("génération impossible"))) << second.out.toStdString();
  EXPECT_EQ(QFileInfo(certificateOf(install)).size(), firstSize);
  EXPECT_TRUE(fileBytes(certificateOf(install)).startsWith("%PDF"));
}

TEST(Workstation, AUserOutsideTheGroupIsToldWhichGroupToJoin) {
  if (const QString why = whyNotAsOrdinaryUser(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  SharedInstallation install;
  ASSERT_TRUE(install.shared);

  const ToolResult r = runAs(install, {65534, std::nullopt}, QStringLiteral("run"));
  EXPECT_EQ(r.exitCode, 4) << r.out.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("[Erreur au chargement...] Votre compte ne peut pas modifier")))
      << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("ajouter au groupe « velnara »"))) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains(QStringLiteral("readonly"))) << r.err.toStdString();
  EXPECT_EQ(install.storedDate(), QStringLiteral("(null)"));
}

TEST(Workstation, AVendorLibraryOfAnotherSizeIsOnlyCheckedForPresence) {
  QTemporaryDir cad, program;
  for (const char* name : {"velna.mvi", "libapi_lec.so"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/") + QLatin1String(name), program.filePath(name)));
  // The same library, grown: a loader ignores what follows its segments.
  QFile library(program.filePath(QStringLiteral("libapi_lec.so")));
  ASSERT_TRUE(library.open(QIODevice::Append));
  ASSERT_EQ(library.write(QByteArray(4096, '\0')), 4096);
  library.close();

  const QStringList where = {QStringLiteral("--common-data"), cad.path(), QStringLiteral("--program-dir"),
                             program.path()};
  ASSERT_EQ(runTool(QStringLiteral("velnara-setup"), where + QStringList{QStringLiteral("--demo")}).exitCode, 0);
  const ToolResult r = runTool(QStringLiteral("velnara-run"),
                               where + QStringList{QStringLiteral("--update-url"), kClosedUpdatePage, "run"});
  EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
  EXPECT_FALSE(r.out.contains(QStringLiteral("taille incorrecte"))) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains(QStringLiteral("\npage: tab_pdf\n")));
}
