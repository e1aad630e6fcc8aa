#include <csignal>
#include <optional>
#include <ostream>
#include <stdexcept>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

}  // namespace
