#pragma once

#include "platform/ConfigDatabase.h"
#include "platform/db/SqlCipherHandles.h"

// The configuration database on SQLCipher: one encrypted file, one connection
// and one shared query. Files are compatible with the `sqlcipher` command-line
// tool at its default settings (PRAGMA key with the same password), so that
// support staff can read them.
class SqlCipherDatabase : public ConfigDatabase {
 public:
  SqlCipherDatabase() = default;
  ~SqlCipherDatabase() override;
  SqlCipherDatabase(const SqlCipherDatabase&) = delete;
  SqlCipherDatabase& operator=(const SqlCipherDatabase&) = delete;

  // Opens the existing file only; a missing file, a wrong password and a
  // damaged or plain file all fail here with the engine's message.
  void connect(const QString& path, const QString& password) override;
  void disconnect() override;
  bool isConnected() const override;

  // Changing the text closes an open result set, as a new statement makes
  // the old rows meaningless.
  void clearSql() override;
  void setSql(const QString& sql) override;
  // Runs the statement and stands on its first row (or at the end when it
  // has none). Statements that return no rows belong to execSql().
  void open() override;
  // nullopt for a null value or when there is no current row (closed query,
  // empty result, end passed); otherwise the value as text whatever its
  // stored type. An index outside the select list is an error.
  std::optional<QString> field(int n) const override;
  void first() override;
  void next() override;  // at the end it stays there
  bool eof() const override;
  void close() override;
  void execSql() override;

  enum class Existing { Refuse, Replace };
  // Builds a new database encrypted with `password` from an SQL script. The
  // file is built beside `path` under a temporary name and renamed into place
  // only once complete, so `path` never holds a half-made database. An
  // existing file is left alone (DatabaseError) unless `existing` is Replace.
  static void createFromScript(const QString& path, const QString& password, const QString& script,
                               Existing existing = Existing::Refuse);

 private:
  sqlite3* requireConnection() const;
  void requireOpenResultSet() const;
  void advance();

  sqlcipher_handles::Connection db_;
  sqlcipher_handles::Statement rows_;
  bool onRow_ = false;
  QString sql_;
};
