// Opening the configuration database: files made by the adapter and by the
// command-line tool open in each other, and every kind of bad file is refused
// at connection time with the engine's message.

#include <functional>

#include <QDir>
#include <QFile>

#include "DbTestSupport.h"
#include "platform/db/SqlCipherDatabase.h"

using namespace dbtest;

namespace {

class ConnectTest : public DbFolder {
 protected:
  QString makeGoodFile(const QString& name = QStringLiteral("velna.mvd")) {
    const QString file = path(name);
    SqlCipherDatabase::createFromScript(file, kPassword, kSampleScript);
    return file;
  }
};

TEST_F(ConnectTest, FileMadeByTheCommandLineToolOpensInTheAdapter) {
  const QString file = path(QStringLiteral("cli.mvd"));
  const CliResult made =
      runCli(file, keyed(QStringLiteral("CREATE TABLE configuration (id TEXT PRIMARY KEY, valeur TEXT);"
                                        "INSERT INTO configuration VALUES ('date_maj', '20210622');")));
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();

  SqlCipherDatabase db;
  db.connect(file, kPassword);
  db.setSql(QStringLiteral(R"(SELECT valeur FROM configuration WHERE id="date_maj")"));
  db.open();
  EXPECT_EQ(db.field(0), QStringLiteral("20210622"));
}

TEST_F(ConnectTest, FileMadeByTheAdapterIsEncryptedAndOpensInTheCommandLineTool) {
  const QString file = makeGoodFile();

  EXPECT_FALSE(readFile(file).startsWith("SQLite format 3")) << "the file is not encrypted";
  const CliResult read = runCli(file, keyed(QStringLiteral("SELECT id, nom FROM fichiers ORDER BY id;")));
  EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
  EXPECT_EQ(read.out, QStringLiteral("2|velna.mvi\n10|Contrôle é.txt\n"));

  const CliResult wrongKey = runCli(file, QStringLiteral("PRAGMA key='hv6Np3Xr8L'; SELECT count(*) FROM fichiers;"));
  EXPECT_NE(wrongKey.exitCode, 0);
  EXPECT_TRUE(wrongKey.err.contains(QStringLiteral("file is encrypted or is not a database")))
      << wrongKey.err.toStdString();
}

TEST_F(ConnectTest, ReconnectingAndDisconnecting) {
  const QString first = makeGoodFile(QStringLiteral("a.mvd"));
  const QString second = makeGoodFile(QStringLiteral("b.mvd"));
  SqlCipherDatabase db;
  EXPECT_FALSE(db.isConnected());
  db.connect(first, kPassword);
  db.connect(second, kPassword);
  EXPECT_TRUE(db.isConnected());
  db.disconnect();
  EXPECT_FALSE(db.isConnected());
  db.disconnect();
  EXPECT_FALSE(db.isConnected());
}

// How each bad file is made in the test folder; returns the path to open.
using BadFileMaker = std::function<QString(ConnectTest&)>;

struct BadFileCase {
  const char* name;
  BadFileMaker make;
  const char* message;  // part of the engine's message
  const char* password = "Hv6Np3Xr8L";
};
void PrintTo(const BadFileCase& c, std::ostream* out) { *out << c.name; }

QByteArray goodFileBytes(ConnectTest& test, const QString& name) {
  const QString file = test.path(name);
  copySampleDatabase(file);
  return readFile(file);
}

QString withBytes(ConnectTest& test, const QByteArray& bytes) {
  const QString file = test.path(QStringLiteral("velna.mvd"));
  writeFile(file, bytes);
  return file;
}

const BadFileCase kBadFiles[] = {
    {"Missing", [](ConnectTest& t) { return t.path(QStringLiteral("velna.mvd")); }, "unable to open database file"},
    {"MissingFolder", [](ConnectTest& t) { return t.path(QStringLiteral("Trelvo/velna/velna.mvd")); },
     "unable to open database file"},
    {"Folder",
     [](ConnectTest& t) {
       QDir().mkpath(t.path(QStringLiteral("velna.mvd")));
       return t.path(QStringLiteral("velna.mvd"));
     },
     "unable to open database file"},
    {"WrongPassword", [](ConnectTest& t) { return withBytes(t, goodFileBytes(t, QStringLiteral("good.mvd"))); },
     "file is encrypted or is not a database", "Hv6Np3Xr8l"},
    {"RandomBytes", [](ConnectTest& t) { return withBytes(t, randomBytes(8192, 7)); },
     "file is encrypted or is not a database"},
    {"TruncatedInFirstPage",
     [](ConnectTest& t) { return withBytes(t, goodFileBytes(t, QStringLiteral("good.mvd")).left(600)); }, ""},
    {"TruncatedToHalf",
     [](ConnectTest& t) {
       const QByteArray bytes = goodFileBytes(t, QStringLiteral("good.mvd"));
       return withBytes(t, bytes.left(bytes.size() / 2));
     },
     ""},
    {"PageDamagedFurtherIn",
     [](ConnectTest& t) {
       QByteArray bytes = goodFileBytes(t, QStringLiteral("good.mvd"));
       bytes.replace(bytes.size() / 2, 16, randomBytes(16, 3));
       return withBytes(t, bytes);
     },
     ""},
    {"PlainSqliteFile",
     [](ConnectTest& t) {
       const QString file = t.path(QStringLiteral("velna.mvd"));
       runCli(file, QStringLiteral("CREATE TABLE configuration (id TEXT, valeur TEXT);"));
       EXPECT_TRUE(readFile(file).startsWith("SQLite format 3"));
       return file;
     },
     "file is encrypted or is not a database"},
    {"EmptyFile", [](ConnectTest& t) { return withBytes(t, QByteArray()); }, "holds no tables"},
};

class BadFileTest : public ConnectTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFileTest, IsRefusedAtConnectionAndNothingIsCreated) {
  const BadFileCase& bad = GetParam();
  const QString file = bad.make(*this);
  const QStringList before = entries();
  const QByteArray bytesBefore = readFile(file);

  // A failed connection also drops the one held before.
  SqlCipherDatabase db;
  copySampleDatabase(path(QStringLiteral("previous.mvd")));
  db.connect(path(QStringLiteral("previous.mvd")), kPassword);
  try {
    db.connect(file, QString::fromLatin1(bad.password));
    ADD_FAILURE() << "connected to a bad file";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()), "");
    EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos) << error.what();
  }
  EXPECT_FALSE(db.isConnected());
  db.disconnect();

  QStringList after = entries();
  after.removeAll(QStringLiteral("previous.mvd"));
  EXPECT_EQ(after, before);
  EXPECT_EQ(readFile(file), bytesBefore);
}

INSTANTIATE_TEST_SUITE_P(Db, BadFileTest, ::testing::ValuesIn(kBadFiles),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(SqlCipherProcess, SystemSqliteIsNotLoaded) {
  // libsqlite3 exports the same symbols as SQLCipher; loaded together, one
  // silently replaces the other and the encryption is lost.
  QFile maps(QStringLiteral("/proc/self/maps"));
  ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
  const QByteArray mapped = maps.readAll();
  EXPECT_TRUE(mapped.contains("libsqlcipher"));
  EXPECT_FALSE(mapped.contains("libsqlite3"));
  EXPECT_FALSE(mapped.contains("qsqlite"));
}

}  // namespace
