// The configuration database failing while the program runs, after a
// start-up that went well: locked by another connection or another program,
// or overwritten on disk. The operation that meets the failure ends in the
// error box, nothing is written into the file, and once the file is sound
// again the same operation works without a restart. A file removed while
// open is a case of its own, at the end.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "support/CardStation.h"
#include "support/HookedCardLibrary.h"

using Row = View::StepRow;
using Icon = View::Icon;

namespace {

const QString kPassword = QStringLiteral("Hv6Np3Xr8L");
// The test clock's day, stored by a successful update check.
const QString kToday = QStringLiteral("20261209");

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList withoutCertificate(QStringList entries) {
  entries.removeAll(QStringLiteral("velnara.pdf"));
  return entries;
}

// Rewrites the file's bytes where they are: same file, same size, as a disk
// or another program damaging it would, not a new file put in its place.
void overwriteInPlace(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << file.errorString().toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// The date the configuration holds, read through a connection of its own.
QString storedDate(const QString& path) {
  SqlCipherDatabase db;
  db.connect(path, kPassword);
  db.setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
  db.open();
  return db.field(0).value_or(QStringLiteral("(null)"));
}

// ---- the faults: each lasts as long as its object ----

class DatabaseFault {
 public:
  virtual ~DatabaseFault() = default;
};

// A second connection of this process inside an exclusive transaction.
class LockedByAnotherConnection : public DatabaseFault {
 public:
  explicit LockedByAnotherConnection(const QString& path) {
    holder_.connect(path, kPassword);
    holder_.setSql(QStringLiteral("BEGIN EXCLUSIVE"));
    holder_.execSql();
  }
  ~LockedByAnotherConnection() override {
    try {
      holder_.setSql(QStringLiteral("COMMIT"));
      holder_.execSql();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the lock could not be released: " << e.what();
    }
  }

 private:
  SqlCipherDatabase holder_;
};

// The sqlcipher command-line tool, as support staff would use it, keeping an
// exclusive transaction open until the fault ends.
class LockedByAnotherProgram : public DatabaseFault {
 public:
  explicit LockedByAnotherProgram(const QString& path) {
    cli_.start(QStringLiteral("sqlcipher"), {path});
    // With .bail on, the tool quits at the first error: "held" only comes
    // once the exclusive transaction has begun.
    cli_.write(QByteArray(".bail on\nPRAGMA key = '") + kPassword.toUtf8() +
               "';\nBEGIN EXCLUSIVE;\nSELECT 'held' FROM sqlite_master LIMIT 1;\n");
    QByteArray out;
    while (!out.contains("held") && cli_.waitForReadyRead(30000)) out += cli_.readAllStandardOutput();
    held_ = out.contains("held");
  }
  ~LockedByAnotherProgram() override {
    cli_.write("COMMIT;\n.quit\n");
    cli_.closeWriteChannel();
    if (!cli_.waitForFinished(30000)) cli_.kill();
  }
  bool held() const { return held_; }

 private:
  QProcess cli_;
  bool held_ = false;
};

// Every byte of the file overwritten in place; the original bytes come back
// when the fault ends.
class Overwritten : public DatabaseFault {
 public:
  explicit Overwritten(const QString& path) : path_(path), original_(bytesOf(path)) {
    overwriteInPlace(path_, QByteArray(original_.size(), '\x5a'));
  }
  ~Overwritten() override { overwriteInPlace(path_, original_); }

 private:
  QString path_;
  QByteArray original_;
};

struct FaultKind {
  const char* name;
  std::function<std::unique_ptr<DatabaseFault>(const QString& path)> inject;
};

const FaultKind kFaults[] = {
    {"locked_by_another_connection",
     [](const QString& path) { return std::make_unique<LockedByAnotherConnection>(path); }},
    {"locked_by_another_program",
     [](const QString& path) -> std::unique_ptr<DatabaseFault> {
       auto lock = std::make_unique<LockedByAnotherProgram>(path);
       if (!lock->held()) return nullptr;
       return lock;
     }},
    {"overwritten", [](const QString& path) { return std::make_unique<Overwritten>(path); }},
};

// ---- the operations that meet the fault ----

// A workstation where a run goes through to the certificate: the file check
// has a row to read, the reader initialisation answers a code that needs the
// error table (not blocking), and the last update check is old.
struct Workstation {
  Workstation() {
    s.goodWorkstation();
    Scenario scenario;
    scenario.returns["Lec_InitLecteurs"] = 40;
    s.scenario(scenario);
  }
  QString database() const { return s.t.install.database(); }
  QString dataFolder() const { return s.ppal.appli_dossier_commun; }

  HookedCardLibrary library;
  CardStation s{QStringLiteral("INSERT INTO fichiers VALUES (1, 'velna.mvi', 'N/A', '0');"
                               "UPDATE configuration SET valeur = '20200101' WHERE id = 'date_maj';"),
                &library};
};

struct Operation {
  const char* name;
  // Does the operation, calling `strike` at the moment the fault must hit.
  std::function<void(Workstation&, const std::function<void()>& strike)> perform;
  // What shows that the operation met the failure, beyond the error box
  // (checked once the fault is over, so that the file can be read).
  std::function<void(Workstation&)> expectStopped;
  // What shows that it worked.
  std::function<void(Workstation&)> expectDone;
};

// A run whose first step reads the file list: the fault is there from the start.
void runWithFaultFromTheStart(Workstation& w, const std::function<void()>& strike) {
  strike();
  w.s.run();
}

// A run in which the fault strikes after the file check, just as the reader
// initialisation returns a code that must be classified.
void runWithFaultAtTheClassification(Workstation& w, const std::function<void()>& strike) {
  w.library.atNext("Lec_InitLecteurs", strike);
  w.s.run();
}

// " Mise à Jour": the check asks the server, then records its date.
void updateCheckWithFaultFromTheStart(Workstation& w, const std::function<void()>& strike) {
  strike();
  w.s.ppal.btn_updateClick();
}

void expectRunSucceeded(Workstation& w) {
  EXPECT_EQ(w.s.t.view.currentPage(), View::Page::tab_pdf) << w.s.log().toStdString();
  EXPECT_EQ(w.s.t.view.icon(Row::Image_etat6), Icon::etat_ok);
}

const Operation kOperations[] = {
    {"file_check", runWithFaultFromTheStart,
     [](Workstation& w) {
       EXPECT_EQ(w.s.t.view.icon(Row::Image_etat1), Icon::etat_en_cours);
       EXPECT_EQ(w.s.t.view.currentPage(), View::Page::tab_launch);
     },
     expectRunSucceeded},
    {"classification", runWithFaultAtTheClassification,
     [](Workstation& w) {
       EXPECT_EQ(w.s.t.view.icon(Row::Image_etat1), Icon::etat_ok);
       EXPECT_EQ(w.s.t.view.icon(Row::Image_etat3), Icon::etat_en_cours);
       EXPECT_TRUE(w.s.journalOf("Lec_OuvertureSessionVitale").isEmpty());
       EXPECT_EQ(w.s.t.view.currentPage(), View::Page::tab_launch);
     },
     [](Workstation& w) {
       EXPECT_TRUE(w.s.log().contains(
           QStringLiteral("Retour en erreur : 40 (code : 0)\r\nErreur sans impact sur le fonctionnement\r\n")))
           << w.s.cardLog().toStdString();
       expectRunSucceeded(w);
     }},
    {"update_date_record", updateCheckWithFaultFromTheStart,
     [](Workstation& w) { EXPECT_EQ(storedDate(w.database()), QStringLiteral("20200101")); },
     [](Workstation& w) { EXPECT_EQ(storedDate(w.database()), kToday); }},
};

struct Case {
  FaultKind fault;
  Operation operation;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.fault.name << '/' << c.operation.name; }

class DatabaseFaultTest : public ::testing::TestWithParam<Case> {};

TEST_P(DatabaseFaultTest, FailsThroughTheErrorBoxWritesNothingAndRecovers) {
  const Case& c = GetParam();
  Workstation w;
  ASSERT_FALSE(w.s.ppal.terminateRequested());
  ASSERT_TRUE(w.s.t.view.messages.empty());
  const QString database = w.database();
  const QStringList entriesBefore = entriesOf(w.dataFolder());

  std::unique_ptr<DatabaseFault> fault;
  bool injected = false;
  QByteArray faultyBytes;
  c.operation.perform(w, [&] {
    fault = c.fault.inject(database);
    injected = fault != nullptr;
    faultyBytes = bytesOf(database);
  });
  if (!injected) GTEST_SKIP() << "the fault could not be injected here";

  ASSERT_EQ(w.s.t.view.messages.size(), 1u) << w.s.log().toStdString();
  const RecordingView::Box& box = w.s.t.view.messages[0];
  EXPECT_EQ(box.caption, QStringLiteral("Velnara"));
  EXPECT_EQ(box.icon, View::MessageIcon::Error);
  // French first, the engine's own words after it.
  EXPECT_TRUE(box.text.startsWith(QStringLiteral("La base de configuration n'a pas pu être lue ou modifiée : ")))
      << box.text.toStdString();
  EXPECT_GT(box.text.size(), 60) << box.text.toStdString();
  // Nothing was written into the file, and nothing was left beside it (no
  // journal, no new database).
  EXPECT_EQ(bytesOf(database), faultyBytes);
  EXPECT_EQ(entriesOf(w.dataFolder()), entriesBefore);
  EXPECT_FALSE(w.s.ppal.terminateRequested());

  fault.reset();
  c.operation.expectStopped(w);
  w.s.t.view.messages.clear();
  c.operation.perform(w, [] {});

  EXPECT_TRUE(w.s.t.view.messages.empty()) << w.s.t.view.messages[0].text.toStdString();
  c.operation.expectDone(w);
  // A run leaves its certificate beside the database, and nothing else.
  EXPECT_EQ(withoutCertificate(entriesOf(w.dataFolder())), withoutCertificate(entriesBefore));
}

// On this system a removed file stays readable through the connection that
// has it open: the program goes on with the configuration it opened, only
// the recording of the update check's date fails (the engine refuses to
// write into a file that is no longer there), and nothing is created in the
// file's place.
TEST(DatabaseRemoved, ReadsGoOnFromTheOpenFileAndNothingTakesItsPlace) {
  Workstation w;
  const QString database = w.database();
  const QByteArray original = bytesOf(database);
  ASSERT_TRUE(QFile::remove(database));

  w.s.run();  // the update check is due: its date cannot be recorded
  ASSERT_EQ(w.s.t.view.messages.size(), 1u);
  EXPECT_EQ(w.s.t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(w.s.t.view.icon(Row::Image_etat1), Icon::etat_ok);
  EXPECT_EQ(w.s.t.view.icon(Row::Image_etat2b), Icon::etat_en_cours);
  EXPECT_FALSE(QFile::exists(database));
  EXPECT_EQ(entriesOf(w.dataFolder()), QStringList());

  // The check is done for today in memory; the next run classifies from the
  // open file and reaches the certificate.
  w.s.t.view.messages.clear();
  w.s.run();
  EXPECT_TRUE(w.s.t.view.messages.empty()) << w.s.t.view.messages[0].text.toStdString();
  EXPECT_TRUE(w.s.log().contains(QStringLiteral("Erreur sans impact sur le fonctionnement\r\n")));
  expectRunSucceeded(w);
  EXPECT_FALSE(QFile::exists(database));

  // The file put back is left as it was by a further run.
  {
    QFile file(database);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
  }
  w.s.run();
  EXPECT_TRUE(w.s.t.view.messages.empty());
  expectRunSucceeded(w);
  EXPECT_EQ(bytesOf(database), original);
}

// Support staff's sqlcipher tool holds the database for a moment just as
// the program starts: start-up waits for it instead of calling the
// installation broken.
TEST(DatabaseLock, AShortLockIsWaitedForAtStartUp) {
  TestPlatform t;
  QProcess cli;
  cli.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                   QStringLiteral("{ printf \"PRAGMA key = '%s';\\nBEGIN "
                                                  "EXCLUSIVE;\\nSELECT 'held' FROM "
                                                  "sqlite_master LIMIT 1;\\n\" \"$1\"; sleep 1; "
                                                  "echo 'COMMIT;'; } | sqlcipher \"$2\""),
                                   QStringLiteral("sh"), kPassword, t.install.database()});
  QByteArray out;
  while (!out.contains("held") && cli.waitForReadyRead(30000)) out += cli.readAllStandardOutput();
  if (!out.contains("held")) GTEST_SKIP() << "the sqlcipher tool could not lock the database";

  Tppal ppal(t.services());
  ppal.FormCreate();
  cli.waitForFinished(30000);

  EXPECT_FALSE(ppal.terminateRequested());
  EXPECT_TRUE(t.view.messages.empty()) << t.view.messages[0].text.toStdString();
}

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const FaultKind& fault : kFaults)
    for (const Operation& operation : kOperations) cases.push_back({fault, operation});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(WhileRunning, DatabaseFaultTest, ::testing::ValuesIn(allCases()), [](const auto& instance) {
  return std::string(instance.param.fault.name) + "_during_" + instance.param.operation.name;
});

}  // namespace
