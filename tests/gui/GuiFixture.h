#pragma once

// A real window on a real application object: the Linux adapters on a small
// installation in a temporary folder. Only what a test cannot have for real
// is replaced: the desktop shell (no browser opens), the downloader (no
// transfer), and the modal message box (recorded instead of waiting).

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "app/SystemPlatform.h"
#include "app/Tppal.h"
#include "platform/Downloader.h"
#include "platform/Shell.h"
#include "platform/qt/MainWindow.h"

class RecordingShell : public Shell {
 public:
  bool open(const QString& target) override {
    opened << target;
    return true;
  }
  bool runAsAdministrator(const QString& file) override {
    elevated << file;
    return false;
  }
  QStringList opened, elevated;
};

class IdleDownloader : public Downloader {
 public:
  void setURL(const QString& url) override { url_ = url; }
  QString URL() const override { return url_; }
  void setLocalFolder(const QString& folder) override { folder_ = folder; }
  QString localFolder() const override { return folder_; }
  void setBatchSize(int) override {}
  void setThreadCount(int) override {}
  void setInternetAgent(const QString&) override {}
  void setEvents(DownloaderEvents*) override {}
  void start() override {}
  void stop() override { ++stops; }
  QStringList errors() const override { return {}; }
  int stops = 0;

 private:
  QString url_, folder_;
};

// The folders of an installation: CAD with its configuration database and
// the program folder with the card library. With the update check recorded
// as done today, a run does not ask the update server.
struct GuiInstall {
  explicit GuiInstall(bool updateCheckDoneToday = true);
  QString cad() const { return dir.path() + QStringLiteral("/cad"); }
  QString program() const { return dir.path() + QStringLiteral("/program"); }
  QString certificate() const { return cad() + QStringLiteral("/Trelvo/velna/velnara.pdf"); }
  QTemporaryDir dir;
};

struct ShownBox {
  QString caption, text;
  View::MessageIcon icon;
};

class GuiTest : public ::testing::Test {
 protected:
  GuiTest() : GuiTest(/*updateCheckDoneToday=*/true) {}
  // updateUrl: the update page to ask; empty for a closed local port.
  explicit GuiTest(bool updateCheckDoneToday, const QString& updateUrl = QString());
  ~GuiTest() override;

  template <typename T = QWidget>
  T* widget(const QString& name) const {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no widget " << name.toStdString();
    return found;
  }
  // The object name of the page on show.
  QString pageShown() const;
  // A left click in the middle of the named widget.
  void click(const QString& name);
  void runOnce() { click(QStringLiteral("action_vitale2")); }

  GuiInstall install;
  MainWindow window;
  RecordingShell* shell = nullptr;
  IdleDownloader downloader;
  std::unique_ptr<SystemPlatform> platform;
  std::unique_ptr<Tppal> ppal;
  std::vector<ShownBox> boxes;
};
