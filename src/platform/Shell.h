#pragma once

#include <QString>

// The desktop shell: open a document or URL with its default handler, or start
// a program with administrator rights.
class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the desktop to open a file or URL; the outcome is only reported.
  virtual bool open(const QString& fileOrUrl) = 0;
  // Starts the file with administrator rights; false when it could not start
  // (missing file, elevation refused).
  virtual bool runAsAdministrator(const QString& file) = 0;
};
