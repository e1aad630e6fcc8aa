#pragma once

#include "platform/Shell.h"

// The desktop shell of the window: documents and web pages open in the
// user's default applications; programs needing administrator rights start
// through pkexec.
class QtShell : public Shell {
 public:
  bool open(const QString& fileOrUrl) override;
  bool runAsAdministrator(const QString& file) override;
};

class QUrl;
// A web address (or any "scheme://" address) as it is; anything else is a
// local path, made absolute.
QUrl shellUrl(const QString& fileOrUrl);
