#include <csignal>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "platform/ini/WindowsIniFile.h"

namespace {

const QString kSection = QStringLiteral("Lecteur");
const QString kKey = QStringLiteral("Ressource_Vitale");

class WindowsIniFileTest : public ::testing::Test {
 protected:
  QString path(const QString& name = QStringLiteral("api_lec.ini")) const { return folder_.filePath(name); }
  static void writeBytes(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(bytes), bytes.size());
  }
  static QByteArray readBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
  }
  QStringList folderEntries() const {
    return QDir(folder_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  static struct stat statusOf(const QString& file) {
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &status), 0) << file.toStdString();
    return status;
  }

  QTemporaryDir folder_;
  WindowsIniFile ini_;
};

// ---- reading ----

struct ReadCase {
  const char* name;
  QByteArray content;
  std::optional<QString> expected;
};
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadValueTest : public WindowsIniFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadValueTest, FindsTheValueAsWindowsDoes) {
  writeBytes(path(), GetParam().content);
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadValueTest,
    ::testing::Values(
        ReadCase{"SectionAndKeyWithoutRegardToCase", "[LECTEUR]\r\nressource_VITALE=Lecteur 0\r\n",
                 QStringLiteral("Lecteur 0")},
        ReadCase{"BlanksAroundNamesAndValueTrimmed", "  [ Lecteur ]  \n\t Ressource_Vitale \t=  Lecteur 0 \t\n",
                 QStringLiteral("Lecteur 0")},
        ReadCase{"EmptyValueIsPresent", "[Lecteur]\nRessource_Vitale=\n", QString()},
        ReadCase{"BlankValueIsPresentAndEmpty", "[Lecteur]\nRessource_Vitale=   \n", QString()},
        ReadCase{"MissingKey", "[Lecteur]\nAutre=1\n", std::nullopt},
        ReadCase{"MissingSection", "[Autre]\nRessource_Vitale=x\n", std::nullopt},
        ReadCase{"KeyOfAnotherSection", "[Autre]\nRessource_Vitale=x\n[Lecteur]\nDelai=3\n", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "Ressource_Vitale=x\n[Lecteur]\n", std::nullopt},
        ReadCase{"CommentedOutKey", "[Lecteur]\n;Ressource_Vitale=x\n", std::nullopt},
        ReadCase{"LineWithoutEqualsIsNoKey", "[Lecteur]\nRessource_Vitale\n", std::nullopt},
        ReadCase{"EmptyFile", "", std::nullopt},
        ReadCase{"FirstOfEqualKeysWins", "[Lecteur]\nRessource_Vitale=un\nRESSOURCE_VITALE=deux\n",
                 QStringLiteral("un")},
        ReadCase{"FirstOfEqualSectionsWins", "[Lecteur]\nDelai=1\n[lecteur]\nRessource_Vitale=x\n", std::nullopt},
        ReadCase{"EqualsAndSemicolonInsideTheValueKept", "[Lecteur]\nRessource_Vitale=a=b ; c\n",
                 QStringLiteral("a=b ; c")},
        ReadCase{"MatchingQuotesDropped", "[Lecteur]\nRessource_Vitale=\" Lecteur 0 \"\n",
                 QStringLiteral(" Lecteur 0 ")},
        ReadCase{"UnmatchedQuotesKept", "[Lecteur]\nRessource_Vitale=\"Lecteur'\n", QStringLiteral("\"Lecteur'")},
        ReadCase{"LastLineWithoutLineEnd", "[Lecteur]\r\nRessource_Vitale=x", QStringLiteral("x")},
        ReadCase{"Windows1252Text", "[Lecteur]\nRessource_Vitale=\x80 \xE9t\xE9 \x9C\n", QString::fromUtf8("€ été œ")}),
    [](const ::testing::TestParamInfo<ReadCase>& instance) { return std::string(instance.param.name); });

TEST_F(WindowsIniFileTest, MissingFileOrFolderInsteadOfFileHasNoValue) {
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), std::nullopt);
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("dossier.ini")));
  EXPECT_EQ(ini_.readValue(path(QStringLiteral("dossier.ini")), kSection, kKey), std::nullopt);
}

TEST_F(WindowsIniFileTest, LongValueIsCutAt2047Characters) {
  const QString value(3000, u'x');
  ini_.writeValue(path(), kSection, kKey, value);
  EXPECT_TRUE(readBytes(path()).contains(QByteArray(3000, 'x')));
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), QString(2047, u'x'));
}

// ---- writing ----

struct WriteCase {
  const char* name;
  QByteArray before;
  QString section;
  QString key;
  QString value;
  QByteArray after;
};
void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class WriteValueTest : public WindowsIniFileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteValueTest, ChangesOnlyThatValue) {
  const WriteCase& c = GetParam();
  writeBytes(path(), c.before);
  ini_.writeValue(path(), c.section, c.key, c.value);
  EXPECT_EQ(readBytes(path()), c.after);
  EXPECT_EQ(ini_.readValue(path(), c.section, c.key), c.value);
}

const QByteArray kCrlfFile =
    "; Settings of the card-reader library\r\n"
    "[General]\r\n"
    "Langue=FR\r\n"
    "ressource_vitale=not this one\r\n"
    "\r\n"
    "[LECTEUR]\r\n"
    "; the reader used for the card\r\n"
    "ressource_VITALE = Ancien lecteur \xE9 0\r\n"
    "Delai=30\r\n"
    "\r\n"
    "; next section\r\n"
    "[Journal]\r\n"
    "Actif=0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteValueTest,
    ::testing::Values(
        WriteCase{"ValueReplacedInItsLineCrlfFile", kCrlfFile, kSection, kKey, QStringLiteral("Nouveau lecteur"),
                  QByteArray(kCrlfFile).replace("Ancien lecteur \xE9 0", "Nouveau lecteur")},
        WriteCase{"ValueReplacedInItsLineLfFile", "[Lecteur]\nRessource_Vitale=a\nDelai=1\n", kSection, kKey,
                  QStringLiteral("b"), "[Lecteur]\nRessource_Vitale=b\nDelai=1\n"},
        WriteCase{"ValueEmptied", "[Lecteur]\r\nRessource_Vitale=a\r\n", kSection, kKey, QString(),
                  "[Lecteur]\r\nRessource_Vitale=\r\n"},
        WriteCase{"EmptyValueFilled", "[Lecteur]\r\nRessource_Vitale=\r\n", kSection, kKey, QStringLiteral("x"),
                  "[Lecteur]\r\nRessource_Vitale=x\r\n"},
        WriteCase{"KeyAppendedToItsSectionBeforeBlankLinesAndComments",
                  QByteArray(kCrlfFile).replace("ressource_VITALE = Ancien lecteur \xE9 0\r\n", ""),
                  QStringLiteral("lecteur"), kKey, QStringLiteral("Lecteur 0"),
                  QByteArray(kCrlfFile)
                      .replace("ressource_VITALE = Ancien lecteur \xE9 0\r\n", "")
                      .replace("Delai=30\r\n", "Delai=30\r\nRessource_Vitale=Lecteur 0\r\n")},
        WriteCase{"KeyAppendedBelowTheHeaderOfAnEmptySection", "[Lecteur]\n\n[Journal]\nActif=0\n", kSection, kKey,
                  QStringLiteral("x"), "[Lecteur]\nRessource_Vitale=x\n\n[Journal]\nActif=0\n"},
        WriteCase{"KeyAppendedAfterALastLineWithoutLineEnd", "[Lecteur]\r\nDelai=30", kSection, kKey,
                  QStringLiteral("x"), "[Lecteur]\r\nDelai=30\r\nRessource_Vitale=x\r\n"},
        WriteCase{"KeyAppendedAfterALastLineEndingInALoneCr", "[Lecteur]\r\nDelai=30\r", kSection, kKey,
                  QStringLiteral("x"), "[Lecteur]\r\nDelai=30\r\r\nRessource_Vitale=x\r\n"},
        WriteCase{"SectionAppendedToTheEnd", kCrlfFile, QStringLiteral("Lecteur2"), kKey, QStringLiteral("x"),
                  kCrlfFile + "[Lecteur2]\r\nRessource_Vitale=x\r\n"},
        WriteCase{"SectionAppendedAfterALastLineWithoutLineEnd", "[Journal]\nActif=0", kSection, kKey,
                  QStringLiteral("x"), "[Journal]\nActif=0\n[Lecteur]\nRessource_Vitale=x\n"},
        WriteCase{"SectionAppendedToAnEmptyFile", "", kSection, kKey, QStringLiteral("x"),
                  "[Lecteur]\r\nRessource_Vitale=x\r\n"},
        WriteCase{"OnlyTheFirstOfEqualKeysChanges", "[Lecteur]\nRessource_Vitale=un\nressource_vitale=deux\n", kSection,
                  kKey, QStringLiteral("trois"), "[Lecteur]\nRessource_Vitale=trois\nressource_vitale=deux\n"},
        WriteCase{"AccentsWrittenAsWindows1252", "[Lecteur]\r\nRessource_Vitale=a\r\n", kSection, kKey,
                  QString::fromUtf8("Lecteur « Sésame » 0 €"),
                  "[Lecteur]\r\nRessource_Vitale=Lecteur \xAB S\xE9same \xBB 0 \x80\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& instance) { return std::string(instance.param.name); });

TEST_F(WindowsIniFileTest, CharacterOutsideTheCodePageIsWrittenAsQuestionMark) {
  ini_.writeValue(path(), kSection, kKey, QString::fromUtf8("Lecteur \u4E2D"));
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), QStringLiteral("Lecteur ?"));
}

// ---- encodings ----

// The three forms the vendor's tools write the file in. The texts of these
// tests hold no character where Latin-1 and Windows-1252 differ, so Qt's own
// encoders give the expected bytes.
struct FileEncoding {
  const char* name;
  QByteArray (*bytes)(const QString& text);
};
void PrintTo(const FileEncoding& e, std::ostream* out) { *out << e.name; }

QByteArray codePageBytes(const QString& text) { return text.toLatin1(); }
// After the mark, the text is UTF-8, as the Windows profile calls read it.
QByteArray utf8MarkedBytes(const QString& text) { return "\xEF\xBB\xBF" + text.toUtf8(); }
QByteArray utf16MarkedBytes(const QString& text) {
  return "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text));
}

// A vendor's settings file: the reader's section first (right after the
// mark), comments, accents and another section around the value.
QString vendorSettings(const QString& reader) {
  return QStringLiteral("[Lecteur]\r\n; lecteur utilisé pour la carte\r\nRessource_Vitale=") + reader +
         QStringLiteral("\r\nDélai=30\r\n\r\n; journal\r\n[Journal]\r\nFichier=C:\\santé\\api_lec.log\r\n");
}

class EncodingTest : public WindowsIniFileTest, public ::testing::WithParamInterface<FileEncoding> {};

TEST_P(EncodingTest, SuccessiveWritesChangeOnlyTheValue) {
  const auto bytes = GetParam().bytes;
  writeBytes(path(), bytes(vendorSettings(QStringLiteral("Lecteur Général 0"))));
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), QStringLiteral("Lecteur Général 0"));
  for (const QString& reader : {QStringLiteral("Lecteur Sésame élargi 1"), QStringLiteral("L2")}) {
    SCOPED_TRACE(reader.toStdString());
    ini_.writeValue(path(), kSection, kKey, reader);
    EXPECT_EQ(readBytes(path()), bytes(vendorSettings(reader)));
    EXPECT_EQ(ini_.readValue(path(), kSection, kKey), reader);
  }
  EXPECT_EQ(ini_.readValue(path(), QStringLiteral("journal"), QStringLiteral("fichier")),
            QStringLiteral("C:\\santé\\api_lec.log"));
}

TEST_P(EncodingTest, MissingSectionIsAppendedOnceInTheFilesEncoding) {
  const auto bytes = GetParam().bytes;
  const QString before = QStringLiteral("; réglages\r\n[Journal]\r\nActif=0\r\n");
  writeBytes(path(), bytes(before));
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("Lecteur é 1"));
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("Lecteur é 2"));
  EXPECT_EQ(readBytes(path()), bytes(before + QStringLiteral("[Lecteur]\r\nRessource_Vitale=Lecteur é 2\r\n")));
}

INSTANTIATE_TEST_SUITE_P(Encodings, EncodingTest,
                         ::testing::Values(FileEncoding{"Windows1252", codePageBytes},
                                           FileEncoding{"Utf8Mark", utf8MarkedBytes},
                                           FileEncoding{"Utf16LeMark", utf16MarkedBytes}),
                         [](const ::testing::TestParamInfo<FileEncoding>& instance) {
                           return std::string(instance.param.name);
                         });

// Line rules on whole code units: units one of whose bytes is a line feed,
// a carriage return, a blank, '=', '[' or ';' are text like any other.
TEST_F(WindowsIniFileTest, Utf16UnitsHoldingStructuralBytesAreText) {
  const QString value = QString::fromUtf16(u"\u010A\u0D0A\u5B3D\u3B20 \u00E9");
  writeBytes(path(),
             utf16MarkedBytes(QStringLiteral("[Lecteur]\r\nRessource_Vitale=") + value + QStringLiteral("\r\n")));
  EXPECT_EQ(ini_.readValue(path(), kSection, kKey), value);
  ini_.writeValue(path(), kSection, kKey, value + value);
  EXPECT_EQ(readBytes(path()), utf16MarkedBytes(QStringLiteral("[Lecteur]\r\nRessource_Vitale=") + value + value +
                                                QStringLiteral("\r\n")));
}

TEST_F(WindowsIniFileTest, UndecodableFileIsNeitherReadNorWritten) {
  const QString text = QStringLiteral("[Lecteur]\r\nRessource_Vitale=x\r\n");
  const QByteArray utf16Be = "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE)(text));
  const QByteArray utf16LeCut = utf16MarkedBytes(text).chopped(1);
  // A Windows-1252 "é" after a UTF-8 mark is no UTF-8.
  const QByteArray utf8MarkOnCodePage = "\xEF\xBB\xBF[Lecteur]\r\nRessource_Vitale=G\xE9n\xE9ral\r\n";
  for (const QByteArray& content : {utf16Be, utf16LeCut, utf8MarkOnCodePage}) {
    SCOPED_TRACE(content.toHex().toStdString());
    writeBytes(path(), content);
    EXPECT_EQ(ini_.readValue(path(), kSection, kKey), std::nullopt);
    EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, QStringLiteral("y")), std::runtime_error);
    EXPECT_EQ(readBytes(path()), content);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
  }
}

TEST_F(WindowsIniFileTest, MissingFileIsCreated) {
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0"));
  EXPECT_EQ(readBytes(path()), "[Lecteur]\r\nRessource_Vitale=SCM Microsystems Inc. SCR35xx v2.0 USB SC Reader 0\r\n");
}

TEST_F(WindowsIniFileTest, WriteKeepsThePermissionsOfTheFile) {
  writeBytes(path(), "[Lecteur]\nRessource_Vitale=a\n");
  const QFileDevice::Permissions permissions =
      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(path(), permissions));
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("b"));
  const QFileDevice::Permissions currentUser = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
  EXPECT_EQ(QFile::permissions(path()) & ~currentUser, permissions);
}

// ---- failed writes ----

TEST_F(WindowsIniFileTest, WriteIntoAMissingFolderFailsAndCreatesNothing) {
  const QString missing = path(QStringLiteral("absent/api_lec.ini"));
  EXPECT_THROW(ini_.writeValue(missing, kSection, kKey, QStringLiteral("x")), std::runtime_error);
  EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(WindowsIniFileTest, WriteBelowAFileFailsAndLeavesTheFile) {
  writeBytes(path(QStringLiteral("fichier")), "contenu");
  EXPECT_THROW(ini_.writeValue(path(QStringLiteral("fichier/api_lec.ini")), kSection, kKey, QStringLiteral("x")),
               std::runtime_error);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("fichier")});
  EXPECT_EQ(readBytes(path(QStringLiteral("fichier"))), "contenu");
}

TEST_F(WindowsIniFileTest, WriteOverAFolderFailsAndLeavesTheFolder) {
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("api_lec.ini")));
  EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, QStringLiteral("x")), std::runtime_error);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
  EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(WindowsIniFileTest, ValueThatWouldBreakTheLineIsRefusedAndTheFileLeft) {
  const QByteArray before = "[Lecteur]\r\nRessource_Vitale=a\r\n";
  writeBytes(path(), before);
  for (const QString& value :
       {QStringLiteral("a\r\n[Autre]"), QStringLiteral("a\nb"), QStringLiteral("a\rb"), QString(QChar(u'\0'))}) {
    EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, value), std::runtime_error);
  }
  EXPECT_EQ(readBytes(path()), before);
}

// Makes the file system refuse every byte written past `limit` in this
// process (we run as root, so permissions cannot make a write fail), and
// lifts the limit again when it goes out of scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(WindowsIniFileTest, WriteFailingHalfwayLeavesTheOldFileIntact) {
  const QByteArray before = "; garder\r\n[Lecteur]\r\nRessource_Vitale=ancien\r\n[Journal]\r\nActif=0\r\n";
  writeBytes(path(), before);
  {
    FileSizeLimit limit(static_cast<rlim_t>(before.size()));
    EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, QString(500, u'n')), std::runtime_error);
  }
  EXPECT_EQ(readBytes(path()), before);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
}

// ---- the file's identity ----

TEST_F(WindowsIniFileTest, LinkedFileIsWrittenThroughItsLink) {
  writeBytes(path(QStringLiteral("reel.ini")), "[Lecteur]\r\nRessource_Vitale=a\r\n");
  ASSERT_TRUE(QFile::link(path(QStringLiteral("reel.ini")), path()));
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("b"));
  EXPECT_TRUE(QFileInfo(path()).isSymLink());
  EXPECT_EQ(readBytes(path(QStringLiteral("reel.ini"))), "[Lecteur]\r\nRessource_Vitale=b\r\n");
}

// Windows refuses to write a read-only file, to an administrator too; the
// tests may run as root, whom the permission bits alone would not stop.
TEST_F(WindowsIniFileTest, FileWithoutItsOwnerWriteBitIsRefusedWhoeverWrites) {
  const QByteArray before = "[Lecteur]\r\nRessource_Vitale=a\r\n";
  writeBytes(path(), before);
  ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0444), 0);
  EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, QStringLiteral("b")), std::runtime_error);
  EXPECT_EQ(readBytes(path()), before);
  EXPECT_EQ(statusOf(path()).st_mode & 07777, 0444u);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
}

const uid_t kNobody = 65534;

TEST_F(WindowsIniFileTest, WriteKeepsTheOwnerGroupAndModeOfAFileOfAnotherUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give the file another owner";
  writeBytes(path(), "[Lecteur]\r\nRessource_Vitale=a\r\n");
  ASSERT_EQ(::chown(QFile::encodeName(path()).constData(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0640), 0);
  ini_.writeValue(path(), kSection, kKey, QStringLiteral("b"));
  EXPECT_EQ(readBytes(path()), "[Lecteur]\r\nRessource_Vitale=b\r\n");
  const struct stat after = statusOf(path());
  EXPECT_EQ(after.st_uid, kNobody);
  EXPECT_EQ(after.st_gid, kNobody);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
}

// The folder takes no new entry while this lives: permission bits, or for
// root, whom they do not stop, the immutable attribute.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const QString& folder) : name_(QFile::encodeName(folder)) {
    if (::geteuid() == 0) {
      active_ = setImmutable(true);
    } else {
      active_ = ::chmod(name_.constData(), 0555) == 0;
    }
  }
  ~ReadOnlyFolder() {
    if (!active_) return;
    if (::geteuid() == 0) {
      setImmutable(false);
    } else {
      ::chmod(name_.constData(), 0700);
    }
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool active() const { return active_; }

 private:
  bool setImmutable(bool immutable) const {
    const int fd = ::open(name_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
  }

  QByteArray name_;
  bool active_ = false;
};

TEST_F(WindowsIniFileTest, WritableFileInAReadOnlyFolderIsChangedInPlace) {
  const QByteArray before = "; garder\r\n[Lecteur]\r\nRessource_Vitale=Ancien lecteur 0\r\n[Journal]\r\nActif=0\r\n";
  writeBytes(path(), before);
  const ino_t inode = statusOf(path()).st_ino;
  {
    ReadOnlyFolder readOnly(folder_.path());
    if (!readOnly.active()) GTEST_SKIP() << "the folder cannot be made read-only here";
    // Shorter, then longer than the old content: the file is cut or grown to the new length.
    for (const QString& reader : {QStringLiteral("L1"), QStringLiteral("Lecteur bien plus long que l'ancien 2")}) {
      ini_.writeValue(path(), kSection, kKey, reader);
      EXPECT_EQ(readBytes(path()), QByteArray(before).replace("Ancien lecteur 0", reader.toLatin1()));
    }
  }
  EXPECT_EQ(statusOf(path()).st_ino, inode);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
}

TEST_F(WindowsIniFileTest, InPlaceWriteFailingHalfwayPutsTheOldBytesBack) {
  const QByteArray before = "; garder\r\n[Lecteur]\r\nRessource_Vitale=ancien\r\n[Journal]\r\nActif=0\r\n";
  writeBytes(path(), before);
  {
    ReadOnlyFolder readOnly(folder_.path());
    if (!readOnly.active()) GTEST_SKIP() << "the folder cannot be made read-only here";
    FileSizeLimit limit(static_cast<rlim_t>(before.size()));
    EXPECT_THROW(ini_.writeValue(path(), kSection, kKey, QString(500, u'n')), std::runtime_error);
  }
  EXPECT_EQ(readBytes(path()), before);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
}

// The exit status of `work` run in a child process as uid and gid `id`,
// 77 when the folder is out of that user's reach.
int exitStatusAs(uid_t id, const QString& folder, const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    const gid_t group = id;
    if (::setgroups(1, &group) != 0 || ::setgid(group) != 0 || ::setuid(id) != 0) ::_exit(76);
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) ::_exit(77);
    try {
      work();
    } catch (...) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// An ordinary user of the file's group may change a group-writable file of
// another user, but could not give a new file that owner: the file is
// changed in place and stays its owner's.
TEST_F(WindowsIniFileTest, GroupWritableFileOfAnotherUserIsChangedInPlaceAndKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "writing as another user needs root";
  const QByteArray before = "[Lecteur]\r\nRessource_Vitale=a\r\n";
  writeBytes(path(), before);
  ASSERT_EQ(::chown(QFile::encodeName(path()).constData(), 0, kNobody), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0664), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(folder_.path()).constData(), 0777), 0);  // anyone may add a file
  const ino_t inode = statusOf(path()).st_ino;

  const int status =
      exitStatusAs(kNobody, folder_.path(), [&] { ini_.writeValue(path(), kSection, kKey, QStringLiteral("b")); });
  if (status == 77) GTEST_SKIP() << "the test folder is out of reach of another user";
  ASSERT_EQ(status, 0);
  EXPECT_EQ(readBytes(path()), "[Lecteur]\r\nRessource_Vitale=b\r\n");
  const struct stat after = statusOf(path());
  EXPECT_EQ(after.st_ino, inode);
  EXPECT_EQ(after.st_uid, 0u);
  EXPECT_EQ(after.st_gid, kNobody);
  EXPECT_EQ(after.st_mode & 07777, 0664u);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("api_lec.ini")});
}

}  // namespace
