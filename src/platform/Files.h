#pragma once

#include <QString>

// File-system facts the steps rely on.
class Files {
 public:
  virtual ~Files() = default;
  // True for an existing file; false for a folder or a missing path.
  virtual bool fileExists(const QString& path) const = 0;
  // Opens the file for reading and gives its size in bytes as a signed 32-bit
  // number; throws std::runtime_error when it cannot be opened.
  virtual qint32 fileSize(const QString& path) const = 0;
  // The four-part file version stored in a library file, or empty.
  virtual QString fileVersion(const QString& path) const = 0;
};
