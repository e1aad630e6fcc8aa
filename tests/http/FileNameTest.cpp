#include <gtest/gtest.h>

#include <QDir>
#include <QUrl>

#include "platform/downloader/LocalFileName.h"

namespace {

TEST(DispositionFileName, ReadsTheNameInEachForm) {
  const struct {
    const char* header;
    QString name;
  } cases[] = {
      {"attachment; filename=\"velna-last.exe\"", QStringLiteral("velna-last.exe")},
      {"attachment; filename=velna-last.exe", QStringLiteral("velna-last.exe")},
      {"ATTACHMENT; FileName = \"a b.exe\" ; size=3", QStringLiteral("a b.exe")},
      {"attachment; filename=\"semi;colon.exe\"", QStringLiteral("semi;colon.exe")},
      {"attachment; filename=\"quote\\\"d.exe\"", QStringLiteral("quote\"d.exe")},
      {"attachment; filename=\"plain.exe\"; filename*=UTF-8''%C3%A9t%C3%A9.exe", QString::fromUtf8("été.exe")},
      {"attachment; filename*=ISO-8859-1''%E9t%E9.exe", QString::fromUtf8("été.exe")},
      {"attachment; filename*=UTF-8''..%2Fx.exe", QStringLiteral("../x.exe")},
      {"attachment", QString()},
      {"", QString()},
  };
  for (const auto& disposition : cases) {
    SCOPED_TRACE(disposition.header);
    EXPECT_EQ(dispositionFileName(disposition.header), disposition.name);
  }
}

TEST(DownloadFileChoice, ServerNamesTheFileByItsHeaderOrByAPlainUrl) {
  const struct {
    const char* url;
    QString dispositionName;
    QString offered;
  } cases[] = {
      {"https://h/obtenir-derniere-version.php?l=velna&v=1.09&k=force", QStringLiteral("velna-last.exe"),
       QStringLiteral("velna-last.exe")},
      {"https://h/obtenir-derniere-version.php?l=velna", QString(), QString()},  // a script names nothing
      {"https://h/dir/velna-last.exe", QStringLiteral("velna.mvd"), QStringLiteral("velna.mvd")},
      {"https://h/dir/a%20b.bin", QString(), QStringLiteral("a b.bin")},
  };
  for (const auto& offer : cases) {
    SCOPED_TRACE(offer.url);
    EXPECT_EQ(offeredFileName(QUrl(offer.url), offer.dispositionName), offer.offered);
  }
}

TEST(DownloadFileChoice, OnlyTheExpectedNameIsTakenLetterCaseAside) {
  const QString expected = QStringLiteral("velna-last.exe");
  for (const QString& accepted : {expected, QStringLiteral("VELNA-LAST.EXE"), QStringLiteral("Velna-Last.Exe")}) {
    SCOPED_TRACE(accepted.toStdString());
    EXPECT_EQ(offeredNameRefusal(accepted, expected), QString());
  }
  const struct {
    QString offered;
    QString refusal;
  } refused[] = {
      {QStringLiteral("velna.mvd"),
       QStringLiteral(
           "Le serveur propose le fichier \"velna.mvd\" au lieu de \"velna-last.exe\" : téléchargement refusé")},
      {QStringLiteral("velnara.pdf"), QStringLiteral("Le serveur propose le fichier \"velnara.pdf\" au lieu de "
                                                     "\"velna-last.exe\" : téléchargement refusé")},
      {QStringLiteral("velna-last.exe.part"), QStringLiteral("Le serveur propose le fichier \"velna-last.exe.part\" au "
                                                             "lieu de \"velna-last.exe\" : téléchargement refusé")},
      // What cannot be shown as it is shows as replacement characters.
      {QStringLiteral("velna-last.exe\n") + QChar(0x202E),
       QStringLiteral("Le serveur propose le fichier "
                      "\"velna-last.exe\uFFFD\uFFFD\" au lieu de "
                      "\"velna-last.exe\" : téléchargement refusé")},
      {QString(200, u'a'), QStringLiteral("Le serveur propose le fichier \"") + QString(80, u'a') +
                               QStringLiteral("\u2026\" au lieu de \"velna-last.exe\" : téléchargement refusé")},
      {QString(), QStringLiteral("Le serveur ne donne pas de nom au fichier proposé (attendu : \"velna-last.exe\") : "
                                 "téléchargement refusé")},
  };
  for (const auto& offer : refused) {
    SCOPED_TRACE(offer.offered.toStdString());
    EXPECT_EQ(offeredNameRefusal(offer.offered, expected), offer.refusal);
  }
}

TEST(DownloadLocalPath, KeepsTheFileInsideTheFolder) {
  const QString folder = QStringLiteral("/data/velna");
  QString problem;
  EXPECT_EQ(localPathFor(folder, QStringLiteral("velna-last.exe"), &problem),
            QStringLiteral("/data/velna/velna-last.exe"));
  EXPECT_TRUE(problem.isEmpty());
  EXPECT_EQ(localPathFor(folder, QStringLiteral("..velna..exe"), &problem), QStringLiteral("/data/velna/..velna..exe"));
  EXPECT_EQ(localPathFor(QStringLiteral("/data/velna/"), QStringLiteral("velna-last.exe"), &problem),
            QStringLiteral("/data/velna/velna-last.exe"));

  for (const QString& refused : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x.exe"),
                                 QStringLiteral("/etc/x"), QStringLiteral("a/b.exe"), QStringLiteral("..\\x.exe"),
                                 QStringLiteral("c:\\x.exe"), QStringLiteral("x\nexe"), QString(QChar(0)) + "x.exe"}) {
    SCOPED_TRACE(refused.toStdString());
    EXPECT_TRUE(localPathFor(folder, refused, &problem).isEmpty());
    EXPECT_FALSE(problem.isEmpty());
  }
}

}  // namespace
