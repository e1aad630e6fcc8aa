#include "platform/db/SqlCipherDatabase.h"

#include <QDir>
#include <QFileInfo>

#include "platform/GroupSharing.h"

using namespace sqlcipher_handles;

SqlCipherDatabase::~SqlCipherDatabase() { disconnect(); }

namespace {

// The engine opens a file it may not write read-only without a word, and
// writes its journal beside the file: the program can only work when both
// the file and its folder may be written.
void requireWritable(sqlite3* db, const QString& path) {
  const QFileInfo file(path);
  if (sqlite3_db_readonly(db, "main") != 1 && QFileInfo(file.absolutePath()).isWritable()) return;
  throw DatabaseAccessDenied(sharedFolderRefusal(QDir::toNativeSeparators(file.absolutePath())).toStdString());
}

}  // namespace

void SqlCipherDatabase::connect(const QString& path, const QString& password) {
  disconnect();
  // READWRITE without CREATE: a missing file is an error, never a new
  // empty database left behind on disk.
  Connection db = openKeyed(path, password, SQLITE_OPEN_READWRITE);
  verifyReadable(db.get());
  requireWritable(db.get(), path);
  db_ = std::move(db);
}

void SqlCipherDatabase::disconnect() {
  close();  // the connection only closes cleanly once its statement is gone
  db_.reset();
}

bool SqlCipherDatabase::isConnected() const { return db_ != nullptr; }

void SqlCipherDatabase::clearSql() {
  close();
  sql_.clear();
}

void SqlCipherDatabase::setSql(const QString& sql) {
  close();
  sql_ = sql;
}

void SqlCipherDatabase::open() {
  close();
  sqlite3* db = requireConnection();
  Statement statement = prepareOne(db, sql_);
  if (sqlite3_column_count(statement.get()) == 0) {
    // Refused before stepping, so an UPDATE given here changes nothing.
    throw DatabaseError("the statement returns no result set");
  }
  const bool hasRow = stepToRow(db, statement.get());
  rows_ = std::move(statement);
  onRow_ = hasRow;
}

std::optional<QString> SqlCipherDatabase::field(int n) const {
  if (!rows_ || !onRow_) {
    return std::nullopt;
  }
  sqlite3_stmt* statement = rows_.get();
  if (n < 0 || n >= sqlite3_column_count(statement)) {
    throw DatabaseError("no field " + std::to_string(n) + " in the result set");
  }
  if (sqlite3_column_type(statement, n) == SQLITE_NULL) {
    return std::nullopt;
  }
  // The engine renders integers and reals as their decimal text.
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, n));
  return QString::fromUtf8(text, sqlite3_column_bytes(statement, n));
}

void SqlCipherDatabase::first() {
  requireOpenResultSet();
  sqlite3_reset(rows_.get());  // its result repeats an earlier step's error
  advance();
}

void SqlCipherDatabase::next() {
  requireOpenResultSet();
  // Stepping a finished statement would start it again from the top.
  if (onRow_) {
    advance();
  }
}

bool SqlCipherDatabase::eof() const { return !onRow_; }

void SqlCipherDatabase::close() {
  rows_.reset();
  onRow_ = false;
}

void SqlCipherDatabase::execSql() {
  close();
  sqlite3* db = requireConnection();
  const Statement statement = prepareOne(db, sql_);
  while (stepToRow(db, statement.get())) {
  }
}

sqlite3* SqlCipherDatabase::requireConnection() const {
  if (!db_) {
    throw DatabaseError("no database is connected");
  }
  return db_.get();
}

void SqlCipherDatabase::requireOpenResultSet() const {
  if (!rows_) {
    throw DatabaseError("the query is not open");
  }
}

void SqlCipherDatabase::advance() {
  onRow_ = false;  // a failed step leaves no current row behind
  onRow_ = stepToRow(db_.get(), rows_.get());
}
