// File facts on Linux: presence, size, and the version note of a library file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <stdexcept>

#include "ElfImage.h"
#include "platform/files/LinuxFiles.h"

namespace {

const QString kLibrary = QStringLiteral(VELNARA_BIN_DIR "/libapi_lec.so");

class FilesTest : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  QTemporaryDir dir;
  LinuxFiles files;
};

TEST_F(FilesTest, ExistsOnlyForFiles) {
  EXPECT_TRUE(files.fileExists(write("a.txt", "abc")));
  EXPECT_TRUE(files.fileExists(write("empty", "")));
  EXPECT_FALSE(files.fileExists(dir.path()));
  EXPECT_FALSE(files.fileExists(dir.filePath("missing")));
  EXPECT_FALSE(files.fileExists(QString()));
}

TEST_F(FilesTest, SizeOfReadableFilesAndErrorOtherwise) {
  EXPECT_EQ(files.fileSize(write("empty", "")), 0);
  EXPECT_EQ(files.fileSize(write("five", QByteArray("12\0"
                                                    "45",
                                                    5))),
            5);
  EXPECT_THROW(files.fileSize(dir.filePath("missing")), std::runtime_error);
}

TEST_F(FilesTest, SizeBeyondTheSignedRangeDoesNotWrapAround) {
  // Sparse, so it costs no disk: 4 GiB + 5 bytes must not read as 5.
  QFile huge(write("huge", ""));
  if (!huge.resize((qint64(1) << 32) + 5)) GTEST_SKIP() << "no sparse file here";
  EXPECT_EQ(files.fileSize(huge.fileName()), std::numeric_limits<qint32>::max());
}

TEST_F(FilesTest, VersionOfTheStandInLibrary) { EXPECT_EQ(files.fileVersion(kLibrary), QStringLiteral("1.0.0.1")); }

TEST_F(FilesTest, NoVersionWhereThereIsNoUsableNote) {
  QFile library(kLibrary);
  ASSERT_TRUE(library.open(QIODevice::ReadOnly));
  const QByteArray whole = library.readAll();
  EXPECT_EQ(files.fileVersion(write("copy.so", whole)), QStringLiteral("1.0.0.1"));

  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"text", "just some text, long enough to fill an ELF header if it were one......"},
      {"empty", ""},
      {"ident only", whole.left(16)},
      {"header only", whole.left(64)},
      {"cut before the section table", whole.left(whole.size() - 100)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(files.fileVersion(write(QString::fromLatin1(c.name), c.bytes)), QString());
  }
  EXPECT_EQ(files.fileVersion(dir.filePath("missing")), QString());
  EXPECT_EQ(files.fileVersion(dir.path()), QString());
}

struct ImageCase {
  const char* name;
  ElfImage image;
  const char* version;
};

TEST_F(FilesTest, VersionNoteInHandBuiltImages) {
  auto with = [](ElfImage image, auto change) {
    change(image);
    return image;
  };
  const ElfImage good64 = ElfImage::withVersion(true, 0x0002'0005, 0x0007'000B);
  const ElfImage good32 = ElfImage::withVersion(false, 0x0002'0005, 0x0007'000B);
  const ImageCase cases[] = {
      {"64-bit", good64, "2.5.7.11"},
      {"32-bit", good32, "2.5.7.11"},
      {"largest parts", ElfImage::withVersion(true, 0xFFFF'FFFF, 0xFFFF'0000), "65535.65535.65535.0"},
      {"after another note", with(good64, [](ElfImage& i) { i.notePrefix = ElfImage::note("GNU", 3, 20); }),
       "2.5.7.11"},
      {"8-aligned notes",
       with(good64,
            [](ElfImage& i) {
              i.noteAlignment = 8;
              i.notePrefix = ElfImage::note("GNU", 5, 12, 8);
            }),
       "2.5.7.11"},
      {"other owner", with(good64, [](ElfImage& i) { i.owner = "FileVersioN"; }), ""},
      {"other type", with(good32, [](ElfImage& i) { i.type = 2; }), ""},
      {"short descriptor", with(good64, [](ElfImage& i) { i.descriptorSize = 4; }), ""},
      {"not a note section", with(good64, [](ElfImage& i) { i.sectionType = 1; }), ""},
      {"big-endian", with(good64, [](ElfImage& i) { i.dataEncoding = 2; }), ""},
      {"unknown class", with(good64, [](ElfImage& i) { i.elfClass = 3; }), ""},
      {"section beyond the file", with(good64, [](ElfImage& i) { i.sectionOffsetShift = 1'000'000; }), ""},
      {"huge section size", with(good64, [](ElfImage& i) { i.sectionSizeOverride = ~0ull; }), ""},
      {"name size beyond the section", with(good32, [](ElfImage& i) { i.nameSizeOverride = 0xFFFF'FFF0u; }), ""},
      {"descriptor beyond the section", with(good64, [](ElfImage& i) { i.descriptorSizeOverride = 0xFFFF'FFFCu; }), ""},
      {"table beyond the file", with(good64, [](ElfImage& i) { i.sectionCountOverride = 60000; }), ""},
      {"entry size too small", with(good32, [](ElfImage& i) { i.entrySizeOverride = 8; }), ""},
      {"no section table", with(good64, [](ElfImage& i) { i.tableOffsetOverride = 0; }), ""},
  };
  for (const ImageCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(files.fileVersion(write(QStringLiteral("image"), c.image.bytes())), QString::fromLatin1(c.version));
  }
}

}  // namespace
