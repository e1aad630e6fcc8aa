#include "platform/db/SqlCipherHandles.h"

#include <QByteArray>

#include "platform/ConfigDatabase.h"

namespace sqlcipher_handles {

void throwEngineError(sqlite3* db) { throw DatabaseError(sqlite3_errmsg(db)); }

Connection openKeyed(const QString& path, const QString& password, int openFlags) {
  // SQLite reads an empty name as "a private temporary database", which is
  // never what a caller giving a file means.
  if (path.isEmpty()) {
    throw DatabaseError(sqlite3_errstr(SQLITE_CANTOPEN));
  }
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, openFlags, nullptr);
  Connection db(raw);
  if (rc != SQLITE_OK) {
    if (raw == nullptr) {
      throw DatabaseError(sqlite3_errstr(rc));
    }
    throwEngineError(raw);
  }
  // Another connection (the sqlcipher tool of support staff, a second copy
  // of the program for another user) may hold a lock for a moment.
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  const QByteArray key = password.toUtf8();
  if (!key.isEmpty() && sqlite3_key(raw, key.constData(), key.size()) != SQLITE_OK) {
    throwEngineError(raw);
  }
  return db;
}

void verifyReadable(sqlite3* db) {
  // Reading the schema is the first access to the file: this is where a
  // wrong key, a plain SQLite file or garbage shows up.
  const Statement schema = prepareOne(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
  stepToRow(db, schema.get());
  const int tableCount = sqlite3_column_int(schema.get(), 0);

  // Every page carries its own authentication code; reading them all now
  // reports a page damaged further in at connection time instead of in the
  // middle of a run. The configuration database is a few pages long.
  const Statement check = prepareOne(db, QStringLiteral("PRAGMA quick_check(1)"));
  stepToRow(db, check.get());
  const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
  if (verdict == nullptr || QByteArray(verdict) != "ok") {
    throw DatabaseError(
        QByteArray("database disk image is malformed: ").append(verdict != nullptr ? verdict : "").toStdString());
  }
  // An empty file decrypts with any key; it is an installation gone wrong,
  // not a configuration database.
  if (tableCount == 0) {
    throw DatabaseError("the database holds no tables");
  }
}

Statement prepareOne(sqlite3* db, const QString& sql) {
  const QByteArray text = sql.toUtf8();
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, text.constData(), -1, &raw, &tail) != SQLITE_OK) {
    throwEngineError(db);
  }
  Statement statement(raw);
  if (!statement) {
    throw DatabaseError("no statement to run");
  }
  sqlite3_stmt* rawRest = nullptr;
  const int restRc = sqlite3_prepare_v2(db, tail, -1, &rawRest, nullptr);
  const Statement rest(rawRest);
  if (restRc != SQLITE_OK || rest) {
    throw DatabaseError("only one statement can run at a time");
  }
  return statement;
}

bool stepToRow(sqlite3* db, sqlite3_stmt* statement) {
  switch (sqlite3_step(statement)) {
    case SQLITE_ROW:
      return true;
    case SQLITE_DONE:
      return false;
    default:
      throwEngineError(db);
  }
}

void runScript(sqlite3* db, const QString& script) {
  if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throwEngineError(db);
  }
}

}  // namespace sqlcipher_handles
