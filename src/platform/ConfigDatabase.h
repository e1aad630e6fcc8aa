#pragma once

#include <optional>
#include <stdexcept>

#include <QString>

// An error reported by the database engine, carrying the engine's message.
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The configuration can be read but not changed by this user. Its message
// is for the user, in French: what to ask for to be allowed in.
class DatabaseAccessDenied : public DatabaseError {
 public:
  using DatabaseError::DatabaseError;
};

// The configuration database: one connection and one shared query.
class ConfigDatabase {
 public:
  virtual ~ConfigDatabase() = default;

  // Opens an existing, password-protected database file; never creates one.
  // Throws DatabaseAccessDenied when this user may not change it.
  virtual void connect(const QString& path, const QString& password) = 0;
  virtual void disconnect() = 0;
  virtual bool isConnected() const = 0;

  // The shared query.
  virtual void clearSql() = 0;
  virtual void setSql(const QString& sql) = 0;
  virtual void open() = 0;  // runs the statement as a result set
  // Field n (from 0) of the current row; nullopt for a null value or when
  // there is no current row.
  virtual std::optional<QString> field(int n) const = 0;
  virtual void first() = 0;
  virtual void next() = 0;
  virtual bool eof() const = 0;  // the end has been passed
  virtual void close() = 0;
  virtual void execSql() = 0;  // runs a statement that returns no rows
};
