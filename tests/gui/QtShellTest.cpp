#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>

#include "UrlCatcher.h"
#include "app/SystemAdapters.h"
#include "platform/Shell.h"
#include "platform/qt/QtShell.h"

namespace {

class QtShellTest : public ::testing::Test {
 protected:
  QtShellTest() {
    for (const char* scheme : {"file", "http", "https"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "openUrl");
  }
  ~QtShellTest() override {
    for (const char* scheme : {"file", "http", "https"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  UrlCatcher catcher;
  QtShell shell{makeSystemShell()};
};

TEST_F(QtShellTest, WebAddressesOpenAsTheyAre) {
  EXPECT_TRUE(shell.open(QStringLiteral("https://www.example.test/")));
  EXPECT_TRUE(shell.open(QStringLiteral("http://support.example.test/telecharger?x=1")));
  ASSERT_EQ(catcher.urls.size(), 2);
  EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("https://www.example.test/")));
  EXPECT_EQ(catcher.urls[1].query(), QStringLiteral("x=1"));
}

TEST_F(QtShellTest, PathsOpenAsLocalFiles) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("velnara é.pdf"));
  EXPECT_TRUE(shell.open(pdf));
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_TRUE(catcher.urls[0].isLocalFile());
  EXPECT_EQ(catcher.urls[0].toLocalFile(), pdf);
}

TEST(ShellUrl, RelativePathsAreMadeAbsolute) {
  const QUrl url = shellUrl(QStringLiteral("velnara.pdf"));
  EXPECT_TRUE(url.isLocalFile());
  EXPECT_EQ(url.toLocalFile(), QDir::current().absoluteFilePath(QStringLiteral("velnara.pdf")));
  // A file name with a colon is still a file.
  EXPECT_TRUE(shellUrl(QStringLiteral("/tmp/a:b.pdf")).isLocalFile());
}

TEST(QtShellElevation, MissingInstallerDoesNotStart) {
  QtShell shell(makeSystemShell());
  QTemporaryDir dir;
  EXPECT_FALSE(shell.runAsAdministrator(dir.filePath(QStringLiteral("velna-last.exe"))));
  EXPECT_FALSE(shell.runAsAdministrator(dir.path()));
}

}  // namespace
