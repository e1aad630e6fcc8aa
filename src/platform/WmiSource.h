#pragma once

#include <QString>
#include <QStringList>

// Source of management instances in managed-object text format, one text per
// instance of the queried class.
class WmiSource {
 public:
  virtual ~WmiSource() = default;
  // Throws std::runtime_error when the host or namespace cannot be reached or
  // the query fails.
  virtual QStringList query(const QString& host, const QString& namespacePath, const QString& wql) = 0;
};
