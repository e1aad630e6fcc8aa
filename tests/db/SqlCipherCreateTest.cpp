// Creating a new database from a script, as the installation does: never a
// half-made or overwritten file by accident, and the repository's own
// schema builds a database that answers the program's statements.

#include <QFile>
#include <QRegularExpression>

#include "DbTestSupport.h"
#include "platform/db/SqlCipherDatabase.h"

using namespace dbtest;

namespace {

using Existing = SqlCipherDatabase::Existing;

class CreateTest : public DbFolder {
 protected:
  QString target() const { return path(QStringLiteral("velna.mvd")); }

  std::vector<Row> select(SqlCipherDatabase& db, const QString& sql, int width) {
    db.clearSql();
    db.setSql(sql);
    db.open();
    std::vector<Row> rows = readToEnd(db, width);
    db.close();
    return rows;
  }
};

TEST_F(CreateTest, RefusesToOverwriteAnExistingFile) {
  writeFile(target(), "keep me");
  EXPECT_THROW(SqlCipherDatabase::createFromScript(target(), kPassword, kSampleScript), DatabaseError);
  EXPECT_EQ(readFile(target()), QByteArray("keep me"));
  EXPECT_EQ(entries(), QStringList{QStringLiteral("velna.mvd")});
}

TEST_F(CreateTest, ReplacesAnExistingFileWhenAsked) {
  writeFile(target(), "old");
  SqlCipherDatabase::createFromScript(target(), kPassword, kSampleScript, Existing::Replace);
  EXPECT_EQ(entries(), QStringList{QStringLiteral("velna.mvd")});

  SqlCipherDatabase db;
  db.connect(target(), kPassword);
  EXPECT_EQ(select(db, QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61441")"), 1), std::vector<Row>{{"O"}});
}

struct FailedCreationCase {
  const char* name;
  QString script;
  QString password;
  const char* message;
};
void PrintTo(const FailedCreationCase& c, std::ostream* out) { *out << c.name; }

const FailedCreationCase kFailedCreations[] = {
    {"ScriptError", QStringLiteral("CREATE TABLE t (x TEXT); INSERT INTO absente VALUES (1);"), kPassword,
     "no such table: absente"},
    {"ScriptWithoutTables", QStringLiteral("-- nothing"), kPassword, "holds no tables"},
    {"NoPassword", kSampleScript, QString(), "needs a password"},
};

class FailedCreationTest : public CreateTest, public ::testing::WithParamInterface<FailedCreationCase> {};

TEST_P(FailedCreationTest, LeavesNothingBehind) {
  const FailedCreationCase& failed = GetParam();
  for (const Existing existing : {Existing::Refuse, Existing::Replace}) {
    try {
      SqlCipherDatabase::createFromScript(target(), failed.password, failed.script, existing);
      ADD_FAILURE() << "created a database";
    } catch (const DatabaseError& error) {
      EXPECT_NE(std::string(error.what()).find(failed.message), std::string::npos) << error.what();
    }
    EXPECT_EQ(entries(), QStringList());
  }
}

INSTANTIATE_TEST_SUITE_P(Db, FailedCreationTest, ::testing::ValuesIn(kFailedCreations),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(CreateTest, FolderMustExist) {
  EXPECT_THROW(SqlCipherDatabase::createFromScript(path(QStringLiteral("absent/velna.mvd")), kPassword, kSampleScript),
               DatabaseError);
  EXPECT_EQ(entries(), QStringList());
}

// Fills the size tokens the way the installation does, with a made-up size.
QString withSizes(QString script) {
  return script.replace(QRegularExpression(QStringLiteral(R"(\$\{taille:[^}]+\})")), QStringLiteral("4321"));
}

TEST_F(CreateTest, RepositorySchemaAnswersTheProgramsStatements) {
  QFile schema(QStringLiteral(VELNARA_SOURCE_DIR "/data/velna.sql"));
  ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
  SqlCipherDatabase::createFromScript(target(), kPassword, withSizes(QString::fromUtf8(schema.readAll())));

  SqlCipherDatabase db;
  db.connect(target(), kPassword);
  const QString readDate = QStringLiteral(R"(SELECT valeur FROM configuration WHERE id="date_maj")");
  EXPECT_EQ(select(db, readDate, 1), std::vector<Row>{{std::nullopt}});

  const std::vector<Row> files =
      select(db, QStringLiteral("SELECT id, nom, dossier, taille FROM fichiers ORDER BY id ASC"), 4);
  EXPECT_FALSE(files.empty());
  const QRegularExpression decimal(QStringLiteral(R"(^\d+$)"));
  for (const Row& row : files) {
    ASSERT_TRUE(row[1] && row[2] && row[3]) << "a file row with a null column";
    EXPECT_TRUE(decimal.match(*row[3]).hasMatch()) << row[3]->toStdString();
    const QString& folder = *row[2];
    EXPECT_TRUE(folder == QStringLiteral("N/A") || folder == QStringLiteral("apilec") ||
                folder.endsWith(QLatin1Char('/')))
        << folder.toStdString();
  }

  db.setSql(QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61441")"));
  db.open();
  db.close();

  db.setSql(QStringLiteral(R"(UPDATE configuration SET valeur ="20261209" WHERE id="date_maj")"));
  db.execSql();
  EXPECT_EQ(select(db, readDate, 1), std::vector<Row>{{"20261209"}});
}

}  // namespace
