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

TEST(DownloadFileChoice, ServerNamesOnlyQueryUrls) {
  EXPECT_EQ(chooseFileName(QUrl("https://h/obtenir-derniere-version.php?l=velna&v=1.09&k=force"),
                           QStringLiteral("velna-last.exe")),
            QStringLiteral("velna-last.exe"));
  EXPECT_EQ(chooseFileName(QUrl("https://h/dir/setup.bin"), QStringLiteral("other.exe")), QStringLiteral("setup.bin"));
  EXPECT_EQ(chooseFileName(QUrl("https://h/dir/get.php?x=1"), QString()), QStringLiteral("get.php"));
  EXPECT_EQ(chooseFileName(QUrl("https://h/dir/a%20b.bin"), QString()), QStringLiteral("a b.bin"));
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
