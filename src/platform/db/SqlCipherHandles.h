#pragma once

// Thin, owning wrappers over the SQLCipher C calls shared by the adapter and
// by the helper that creates new databases. Every engine failure becomes a
// DatabaseError carrying the engine's own message.

#include <memory>

#include <QString>

#include <sqlcipher/sqlite3.h>

namespace sqlcipher_handles {

struct ConnectionCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Throws a DatabaseError with the connection's last engine message.
[[noreturn]] void throwEngineError(sqlite3* db);

// How long a statement waits for a lock held by another connection before
// it fails with "database is locked".
inline constexpr int kBusyTimeoutMs = 2000;

// Opens `path` with the given open flags and applies `password` as the key.
// SQLCipher only reads the file when a statement first needs it, so a wrong
// key or a file that is not a database is not detected here.
Connection openKeyed(const QString& path, const QString& password, int openFlags);

// Fails unless the keyed file decrypts, is intact and holds a schema: a wrong
// key, a plain or damaged file and an empty file are all refused.
void verifyReadable(sqlite3* db);

// Compiles exactly one statement; an empty text or trailing statements are
// refused rather than silently ignored.
Statement prepareOne(sqlite3* db, const QString& sql);

// Advances the statement: true on a row, false once the rows are done.
bool stepToRow(sqlite3* db, sqlite3_stmt* statement);

// Runs a script of any number of statements.
void runScript(sqlite3* db, const QString& script);

}  // namespace sqlcipher_handles
