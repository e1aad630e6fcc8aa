#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/WmiSource.h"

// Answers every query with the instances it is given, or fails with the
// error it is given, and remembers the last query.
class FakeWmiSource : public WmiSource {
 public:
  QStringList instances;
  std::optional<std::string> error;
  QString lastHost, lastNamespace, lastQuery;
  int queries = 0;

  QStringList query(const QString& host, const QString& namespacePath, const QString& wql) override {
    ++queries;
    lastHost = host;
    lastNamespace = namespacePath;
    lastQuery = wql;
    if (error) throw std::runtime_error(*error);
    return instances;
  }
};
