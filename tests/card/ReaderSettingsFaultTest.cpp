// " Modifier le lecteur" when the settings file cannot be written: the error
// box alone, the old file intact to the byte, nothing left beside it, and
// the same click working once the file can be written again. A writable file
// in a folder that takes no new file can be written: it is changed in place.
//
// Permission bits do not stop root, which the tests may run as: root gets
// the immutable attribute instead, which stops every user. A file without
// its owner-write bit is the exception: the program refuses it to root too,
// as Windows refuses a read-only file.
#include <csignal>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "support/CardStation.h"

namespace {

const QByteArray kSettings = "; reglages\r\n[Lecteur]\r\nRessource_Vitale=Ancien\r\nAutre=1\r\n[Divers]\r\nx=y\r\n";
const QString kNewReader = QStringLiteral("Lecteur Général 0");
const QByteArray kSettingsWithNewReader =
    "; reglages\r\n[Lecteur]\r\nRessource_Vitale=Lecteur G\xe9n\xe9ral 0\r\nAutre=1\r\n[Divers]\r\nx=y\r\n";

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// ---- faults: each lasts as long as its object; null when not possible ----

using Fault = std::shared_ptr<void>;

Fault lasting(std::function<void()> undo) {
  return Fault(new bool(true), [undo = std::move(undo)](void* held) {
    undo();
    delete static_cast<bool*>(held);
  });
}

bool setImmutable(const QString& path, bool immutable) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return done;
}

// Read-only for whoever runs the test: permission bits, or for root the
// immutable attribute (no new entry in a folder, no change to a file).
Fault readOnly(const QString& path) {
  if (::geteuid() == 0) {
    if (!setImmutable(path, true)) return nullptr;
    return lasting([path] { setImmutable(path, false); });
  }
  const QFile::Permissions before = QFile::permissions(path);
  const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
  const QFile::Permissions enterable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
  if (!QFile::setPermissions(path, QFileInfo(path).isDir() ? readable | enterable : readable)) return nullptr;
  return lasting([path, before] { QFile::setPermissions(path, before); });
}

// Mode 0444 whoever runs the test, root included.
Fault withoutWriteBit(const QString& path) {
  const QFile::Permissions before = QFile::permissions(path);
  if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther)) return nullptr;
  return lasting([path, before] { QFile::setPermissions(path, before); });
}

// Both faults at once, lifted together.
Fault both(Fault first, Fault second) {
  if (!first || !second) return nullptr;
  return std::make_shared<std::pair<Fault, Fault>>(std::move(first), std::move(second));
}

// A file size limit below the new content: the system refuses the write
// itself, half-way, whoever runs the test (a full disk does the same).
Fault smallFileSizeLimit() {
  rlimit before{};
  if (::getrlimit(RLIMIT_FSIZE, &before) != 0) return nullptr;
  // Going past the limit raises SIGXFSZ, which would end the test program.
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 16;
  if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
    std::signal(SIGXFSZ, previousHandler);
    return nullptr;
  }
  return lasting([before, previousHandler] {
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
  });
}

struct Case {
  const char* name;
  std::function<Fault(const QString& settingsPath)> inject;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class ReaderSettingsTest : public ::testing::Test {
 protected:
  // Types the new reader name on the reader page and clicks " Modifier le lecteur".
  void changeReader() {
    s.t.view.messages.clear();
    s.ppal.btn_configClick();
    s.t.view.setEditText(View::Edit::edit_gestion_2, kNewReader);
    s.ppal.btn_gestion_4Click();
  }

  CardStation s;
};

class ReaderSettingsFaultTest : public ReaderSettingsTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ReaderSettingsFaultTest, ShowsTheErrorBoxAndKeepsTheOldFile) {
  s.settings(kSettings);
  const QString path = s.settingsPath();
  const QString folder = QFileInfo(path).path();
  const QStringList entriesBefore = entriesOf(folder);

  Fault fault = GetParam().inject(path);
  if (!fault) GTEST_SKIP() << "the fault cannot be injected here";
  changeReader();
  fault.reset();

  ASSERT_EQ(s.t.view.messages.size(), 1u) << "no information box after a failed write";
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Velnara"));
  EXPECT_EQ(s.t.view.messages[0].text, QStringLiteral("Impossible d'écrire dans ") + s.ppal.appli_ini_file);
  EXPECT_EQ(s.t.view.messages[0].icon, View::MessageIcon::Error);
  EXPECT_EQ(bytesOf(path), kSettings);
  EXPECT_EQ(entriesOf(folder), entriesBefore) << "a temporary file was left beside the settings";

  // The same click works once the file can be written again.
  changeReader();
  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Gestion lecteur"));
  EXPECT_EQ(bytesOf(path), kSettingsWithNewReader);
  EXPECT_EQ(entriesOf(folder), entriesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReaderSettingsFaultTest,
    ::testing::Values(Case{"read_only_file", [](const QString& path) { return readOnly(path); }},
                      Case{"file_without_write_bit", [](const QString& path) { return withoutWriteBit(path); }},
                      Case{"read_only_file_in_read_only_folder",
                           [](const QString& path) {
                             Fault folder = readOnly(QFileInfo(path).path());
                             return both(std::move(folder), readOnly(path));
                           }},
                      Case{"file_size_limit", [](const QString&) { return smallFileSizeLimit(); }}),
    [](const auto& instance) { return std::string(instance.param.name); });

// The folder takes no new file but the file may be written: it is changed in
// place, as Windows does, and nothing is left beside it.
TEST_F(ReaderSettingsTest, WritableFileInAReadOnlyFolderIsChanged) {
  s.settings(kSettings);
  const QString path = s.settingsPath();
  const QString folder = QFileInfo(path).path();
  const QStringList entriesBefore = entriesOf(folder);

  Fault fault = readOnly(folder);
  if (!fault) GTEST_SKIP() << "the folder cannot be made read-only here";
  changeReader();
  fault.reset();

  ASSERT_EQ(s.t.view.messages.size(), 1u);
  EXPECT_EQ(s.t.view.messages[0].caption, QStringLiteral("Gestion lecteur"));
  EXPECT_EQ(bytesOf(path), kSettingsWithNewReader);
  EXPECT_EQ(entriesOf(folder), entriesBefore);
}

}  // namespace
