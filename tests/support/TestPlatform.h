#pragma once

// An in-memory platform for driving the application object in tests: a view
// that records what a window would show, and small fakes for what has no
// real counterpart in a unit test (the clock, the machine's facts).

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "app/Platform.h"
#include "app/StyledText.h"
#include "app/Tppal.h"
#include "config/Installation.h"
#include "platform/Clock.h"
#include "platform/Downloader.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/HttpClient.h"
#include "platform/Shell.h"
#include "platform/View.h"
#include "platform/WmiSource.h"
#include "platform/card/ApiLecLibrary.h"
#include "platform/db/SqlCipherDatabase.h"
#include "platform/files/LinuxFiles.h"
#include "platform/ini/WindowsIniFile.h"
#include "platform/xml/LibXmlDocument.h"

class RecordingView : public View {
 public:
  ~RecordingView() override;

  struct Box {
    QString caption, text;
    MessageIcon icon;
    bool wait;
  };

  void showPage(Page page) override {
    page_ = page;
    pages.push_back(page);
  }
  Page currentPage() const override { return page_; }
  void setButtonVisible(Button b, bool v) override { buttons[b] = v; }
  bool isButtonVisible(Button b) const override { return buttons.count(b) && buttons.at(b); }
  void setLabelText(Label l, const QString& t) override { labelText[l] = t; }
  void setLabelColor(Label l, Colorref c) override { labelColor[l] = c; }
  void setStepIcon(StepRow r, Icon i) override {
    icons[r] = i;
    iconCalls.push_back({r, i});
  }
  void clearRichText(RichBox b) override { boxes[b].clear(); }
  void appendRichText(RichBox b, const TextRun& run) override { boxes[b].append(run); }
  void scrollLogToEnd() override { ++scrolls; }
  void setStatusText(const QString& t) override { status = t; }
  void setEditText(Edit e, const QString& t) override { edits[e] = t; }
  QString editText(Edit e) const override { return edits.count(e) ? edits.at(e) : QString(); }
  void appendKnownReader(const QString& line) override { knownReaders << line; }
  void setProgressVisible(bool v) override { progressVisible = v; }
  void setProgressPosition(int p) override { progress = p; }
  void setDownloadTextVisible(bool v) override { downloadTextVisible = v; }
  void messageBox(const QString& c, const QString& t, MessageIcon i, bool w) override {
    messages.push_back({c, t, i, w});
  }
  std::optional<QString> askSaveFileName(const QString& title, const QString&, const QString&, const QString&,
                                         const QString& name) override {
    saveDialogTitle = title;
    offeredName = name;
    return saveAnswer;
  }
  void pump() override {
    ++pumps;
    if (onPump) onPump();
  }
  void requestTerminate() override { terminate = true; }

  Icon icon(StepRow r) const { return icons.count(r) ? icons.at(r) : Icon::None; }
  QString log() const {
    return boxes.count(RichBox::debug_texte) ? boxes.at(RichBox::debug_texte).plainText() : QString();
  }

  Page page_ = Page::tab_carte;
  std::vector<Page> pages;
  std::map<Button, bool> buttons;
  std::map<Label, QString> labelText;
  std::map<Label, Colorref> labelColor;
  std::map<StepRow, Icon> icons;
  std::vector<std::pair<StepRow, Icon>> iconCalls;
  std::map<RichBox, StyledText> boxes;
  std::map<Edit, QString> edits;
  QStringList knownReaders;
  QString status;
  bool progressVisible = false, downloadTextVisible = false, terminate = false;
  int progress = 0, pumps = 0, scrolls = 0;
  std::vector<Box> messages;
  std::optional<QString> saveAnswer;
  // What the user does while the program pumps window messages.
  std::function<void()> onPump;
  QString saveDialogTitle, offeredName;
};

class FixedClock : public Clock {
 public:
  ~FixedClock() override;
  QDateTime now() const override { return at; }
  QDateTime at{QDate(2026, 12, 9), QTime(14, 5, 33)};
};

// Instance texts per class name, or a failure for every query.
class FakeWmi : public WmiSource {
 public:
  QStringList query(const QString&, const QString&, const QString& wql) override;
  std::map<QString, QStringList> instances{
      {QStringLiteral("Win32_OperatingSystem"),
       {QStringLiteral("\ninstance of Win32_OperatingSystem\n{\n\tBuildNumber = \"6.1.0\";\n"
                       "\tCaption = \"Debian GNU/Linux 12 (bookworm)\";\n\tCSName = \"POSTE-01\";\n"
                       "\tOSArchitecture = \"64 bits\";\n\tSerialNumber = \"00330-80000\";\n};\n")}},
      {QStringLiteral("Win32_Bios"), {QStringLiteral("\ninstance of Win32_BIOS\n{\n\tName = \"SeaBIOS 1.16\";\n};\n")}},
      {QStringLiteral("Win32_Processor"),
       {QStringLiteral("\ninstance of Win32_Processor\n{\n\tL2CacheSize = 512;\n"
                       "\tProcessorId = \"178BFBFF00A20F12\";\n};\n")}},
  };
  bool failing = false;
};

class RecordingShell : public Shell {
 public:
  bool open(const QString& target) override;
  bool runAsAdministrator(const QString& file) override;
  QStringList opened, elevated;
  bool elevate = true;
};

// An update server that answers what the test says, or fails. Like the real
// client, it stays connected from a post until it is closed.
class ScriptedHttp : public HttpClient {
 public:
  bool isConnected() const override { return connected || exchangeOpen; }
  void setFormField(const QString& name, const QString& value) override { fields << name + QLatin1Char('=') + value; }
  void post(const QString& url, QByteArray& body) override;
  void close() override {
    ++closes;
    exchangeOpen = false;
  }
  QByteArray answer = "non";
  bool fail = false;
  bool connected = false;  // another exchange is under way
  bool exchangeOpen = false;
  QStringList fields, posts;
  int closes = 0;
};

// A downloader whose transfers the test plays by calling the handlers.
class ScriptedDownloader : public Downloader {
 public:
  ~ScriptedDownloader() override;
  void setURL(const QString& u) override { url = u; }
  QString URL() const override { return url; }
  void setLocalFolder(const QString& f) override { folder = f; }
  QString localFolder() const override { return folder; }
  void setFileName(const QString& n) override { fileName = n; }
  void setBatchSize(int b) override { batch = b; }
  void setThreadCount(int t) override { threads = t; }
  void setInternetAgent(const QString& a) override { agent = a; }
  void setEvents(DownloaderEvents* e) override { events = e; }
  void start() override;
  void stop() override { ++stops; }
  QStringList errors() const override { return errorList; }
  QString url, folder, fileName, agent;
  int batch = 0, threads = 0, starts = 0, stops = 0;
  bool busy = false;
  DownloaderEvents* events = nullptr;
  QStringList errorList;
};

// An installation in a temporary folder: CAD with the encrypted
// configuration database, and a program folder holding the card library.
struct TestInstall {
  explicit TestInstall(const QString& rows = QString());
  // The installation velnara-setup --demo lays out: the configuration
  // database with its rows, the settings file, the stand-in's demo scenario.
  void layOutDemo() const;
  // A new configuration database with the program's tables and these rows.
  void writeDatabase(const QString& rows) const;
  QString cad() const { return dir.path() + QStringLiteral("/cad"); }
  QString program() const { return dir.path() + QStringLiteral("/program"); }
  QString database() const { return cad() + QStringLiteral("/Trelvo/velna/velna.mvd"); }
  QString apilec() const { return cad() + QStringLiteral("/santesocial/api_lec/"); }
  QTemporaryDir dir;
};

struct Demo {};

// Everything a Tppal needs: the real Linux adapters on a test installation,
// with a recording view and fakes for the clock, the machine and the shell.
struct TestPlatform {
  // An installation whose database holds these rows (by default, an update
  // check never made).
  explicit TestPlatform(const QString& rows = QStringLiteral("INSERT INTO configuration VALUES ('date_maj', NULL);"));
  // The installation velnara-setup --demo lays out.
  explicit TestPlatform(Demo);
  ~TestPlatform();
  TestInstall install;
  RecordingView view;
  FixedClock clock;
  FakeWmi wmi;
  LinuxFiles files;
  RecordingShell shell;
  FixedFolders folders{install.cad(), install.program(), install.apilec() + QStringLiteral("api_lec.ini")};
  SqlCipherDatabase db;
  WindowsIniFile ini;
  ScriptedHttp http;
  ScriptedDownloader downloader;
  ApiLecLibrary card;

  Platform services();
};
