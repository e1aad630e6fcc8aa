#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/ConfigDatabase.h"

// Lets GoogleTest show texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dbtest {

inline const QString kPassword = QStringLiteral("Hv6Np3Xr8L");

// PRAGMA key as support staff type it in the command-line tool.
QString keyed(const QString& sql);

// The tables of the configuration database with rows that exercise every
// reading case, and a table large enough to spread over several pages.
extern const QString kSampleScript;

// Copies a database built once from kSampleScript to `path`: deriving the
// key is deliberately slow, and most tests only need a good file.
void copySampleDatabase(const QString& path);

struct CliResult {
  int exitCode = -1;
  QString out;
  QString err;
};
// Runs the `sqlcipher` command-line tool on `file` with `sql` as its script.
CliResult runCli(const QString& file, const QString& sql);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
QByteArray randomBytes(int size, quint32 seed);

using Row = std::vector<std::optional<QString>>;
// Reads from the current row to the end, `width` fields per row.
std::vector<Row> readToEnd(ConfigDatabase& db, int width);

// A temporary folder per test.
class DbFolder : public ::testing::Test {
 public:
  QString path(const QString& name) const { return dir_.filePath(name); }
  QStringList entries() const;

 private:
  QTemporaryDir dir_;
};

}  // namespace dbtest
