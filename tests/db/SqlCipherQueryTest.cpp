// The shared query: the statements the program runs, exactly as it writes
// them, and the result-set operations around them.

#include <QFile>

#include "DbTestSupport.h"
#include "platform/db/SqlCipherDatabase.h"

using namespace dbtest;

namespace {

const QString kReadDate = QStringLiteral(R"(SELECT valeur FROM configuration WHERE id="date_maj")");
const QString kWriteDate = QStringLiteral(R"(UPDATE configuration SET valeur ="20261209" WHERE id="date_maj")");
const QString kReadFiles = QStringLiteral("SELECT id, nom, dossier, taille FROM fichiers ORDER BY id ASC");

class QueryTest : public DbFolder {
 protected:
  void SetUp() override {
    file_ = path(QStringLiteral("velna.mvd"));
    copySampleDatabase(file_);
    db_.connect(file_, kPassword);
  }

  std::vector<Row> select(const QString& sql, int width) {
    db_.clearSql();
    db_.setSql(sql);
    db_.open();
    std::vector<Row> rows = readToEnd(db_, width);
    db_.close();
    return rows;
  }

  void execute(const QString& sql) {
    db_.close();
    db_.clearSql();
    db_.setSql(sql);
    db_.execSql();
    db_.close();
  }

  QString file_;
  SqlCipherDatabase db_;
};

struct SelectCase {
  const char* name;
  QString sql;
  std::vector<Row> rows;
};
void PrintTo(const SelectCase& c, std::ostream* out) { *out << c.name; }

const std::optional<QString> kNull;

const SelectCase kSelects[] = {
    {"DateNull", kReadDate, {{kNull}}},
    {"SettingAbsent", QStringLiteral(R"(SELECT valeur FROM configuration WHERE id="absent")"), {}},
    {"CodeBlocking", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61441")"), {{"O"}}},
    {"CodeN", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61442")"), {{"N"}}},
    {"CodeLowerO", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61443")"), {{"o"}}},
    {"CodeEmpty", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61444")"), {{""}}},
    {"CodeNull", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="61445")"), {{kNull}}},
    {"CodeAbsent", QStringLiteral(R"(SELECT bloquant FROM erreur WHERE id="0")"), {}},
    {"Files",
     kReadFiles,
     {{"2", "velna.mvi", "N/A", "0"}, {"10", QStringLiteral("Contrôle é.txt"), "/opt/dossier/", "1234"}}},
    {"StoredTypes", QStringLiteral("SELECT 42, -7, 2.5, NULL, x'414243'"), {{"42", "-7", "2.5", kNull, "ABC"}}},
};

class SelectTest : public QueryTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectTest, ReadsEveryRowAsTextOrNullThenStaysAtTheEnd) {
  const SelectCase& query = GetParam();
  const int width = query.rows.empty() ? 1 : static_cast<int>(query.rows.front().size());
  db_.clearSql();
  db_.setSql(query.sql);
  db_.open();

  EXPECT_EQ(readToEnd(db_, width), query.rows);
  EXPECT_TRUE(db_.eof());
  db_.next();  // a finished statement must not start over
  EXPECT_TRUE(db_.eof());
  EXPECT_EQ(db_.field(0), std::nullopt);

  db_.first();
  EXPECT_EQ(readToEnd(db_, width), query.rows);
  db_.close();
  EXPECT_EQ(db_.field(0), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Db, SelectTest, ::testing::ValuesIn(kSelects),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(QueryTest, DateUpdateIsStoredInTheFile) {
  execute(kWriteDate);
  EXPECT_EQ(select(kReadDate, 1), std::vector<Row>{{"20261209"}});

  db_.disconnect();
  db_.connect(file_, kPassword);
  EXPECT_EQ(select(kReadDate, 1), std::vector<Row>{{"20261209"}});
}

TEST_F(QueryTest, DateUpdateWithoutItsRowStoresNothing) {
  execute(QStringLiteral(R"(DELETE FROM configuration WHERE id="date_maj")"));
  execute(kWriteDate);
  EXPECT_TRUE(select(kReadDate, 1).empty());
}

TEST_F(QueryTest, ChangingOrReopeningTheStatementStartsAfresh) {
  db_.setSql(kReadFiles);
  db_.open();
  db_.next();
  db_.open();
  EXPECT_EQ(db_.field(1), QStringLiteral("velna.mvi"));

  db_.setSql(kReadDate);
  EXPECT_TRUE(db_.eof());
  EXPECT_EQ(db_.field(0), std::nullopt);
}

TEST_F(QueryTest, ClosedQuery) {
  EXPECT_TRUE(db_.eof());
  EXPECT_EQ(db_.field(0), std::nullopt);
  EXPECT_THROW(db_.first(), DatabaseError);
  EXPECT_THROW(db_.next(), DatabaseError);
  db_.close();
}

TEST_F(QueryTest, FieldOutsideTheSelectList) {
  db_.setSql(kReadFiles);
  db_.open();
  EXPECT_THROW(db_.field(4), DatabaseError);
  EXPECT_THROW(db_.field(-1), DatabaseError);
}

struct BadStatementCase {
  const char* name;
  QString sql;
  const char* message;
  bool asResultSet;  // open() rather than execSql()
};
void PrintTo(const BadStatementCase& c, std::ostream* out) { *out << c.name; }

const BadStatementCase kBadStatements[] = {
    {"UnknownTable", QStringLiteral("SELECT * FROM absente"), "no such table: absente", true},
    {"SyntaxError", QStringLiteral("SELEC valeur FROM configuration"), "syntax error", true},
    {"Empty", QString(), "no statement", true},
    {"TwoStatements", QStringLiteral("SELECT 1; SELECT 2"), "one statement", true},
    {"UpdateAsResultSet", kWriteDate, "no result set", true},
    {"ExecUnknownTable", QStringLiteral(R"(UPDATE absente SET valeur ="1")"), "no such table: absente", false},
    {"ExecSyntaxError", QStringLiteral("UPDAT configuration"), "syntax error", false},
    {"ExecTwoStatements", kWriteDate + QStringLiteral("; DELETE FROM configuration"), "one statement", false},
};

class BadStatementTest : public QueryTest, public ::testing::WithParamInterface<BadStatementCase> {};

TEST_P(BadStatementTest, FailsWithTheMessageAndChangesNothing) {
  const BadStatementCase& bad = GetParam();
  db_.setSql(bad.sql);
  try {
    bad.asResultSet ? db_.open() : db_.execSql();
    ADD_FAILURE() << "the statement ran";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos) << error.what();
  }
  EXPECT_TRUE(db_.eof());
  EXPECT_EQ(select(kReadDate, 1), std::vector<Row>{{kNull}});
}

INSTANTIATE_TEST_SUITE_P(Db, BadStatementTest, ::testing::ValuesIn(kBadStatements),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(QueryTest, StatementsNeedAConnection) {
  db_.disconnect();
  db_.setSql(kReadDate);
  EXPECT_THROW(db_.open(), DatabaseError);
  db_.setSql(kWriteDate);
  EXPECT_THROW(db_.execSql(), DatabaseError);
}

TEST_F(QueryTest, TableDroppedByAnotherProgramAfterConnecting) {
  const CliResult dropped = runCli(file_, keyed(QStringLiteral("DROP TABLE fichiers;")));
  ASSERT_EQ(dropped.exitCode, 0) << dropped.err.toStdString();

  db_.setSql(kReadFiles);
  try {
    db_.open();
    ADD_FAILURE() << "read a dropped table";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find("no such table: fichiers"), std::string::npos) << error.what();
  }
}

// Overwrites the database in place, as a failing disk or another program would.
void scribbleOver(const QString& file) {
  QFile target(file);
  ASSERT_TRUE(target.open(QIODevice::ReadWrite));
  ASSERT_EQ(target.write(randomBytes(static_cast<int>(target.size()), 11)), target.size());
}

TEST_F(QueryTest, FileReplacedByGarbageBeforeAQuery) {
  scribbleOver(file_);
  db_.setSql(kReadDate);
  EXPECT_THROW(db_.open(), DatabaseError);
}

TEST_F(QueryTest, EngineErrorOnALaterRow) {
  // Rows are computed as they are stepped through; the third one fails.
  db_.setSql(QStringLiteral("WITH v(i) AS (VALUES (1), (-2), (-9223372036854775808)) SELECT abs(i) FROM v"));
  db_.open();
  db_.next();
  EXPECT_EQ(db_.field(0), QStringLiteral("2"));
  try {
    db_.next();
    ADD_FAILURE() << "stepped over a failing row";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find("integer overflow"), std::string::npos) << error.what();
  }
  EXPECT_TRUE(db_.eof());
  EXPECT_EQ(db_.field(0), std::nullopt);
}

}  // namespace
