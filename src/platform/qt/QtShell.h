#pragma once

#include "platform/shell/LinuxShell.h"

// The desktop shell of the window: documents and web pages open in the
// user's default applications; programs needing administrator rights start
// through pkexec, as in the terminal.
class QtShell : public LinuxShell {
 public:
  bool open(const QString& fileOrUrl) override;
};

class QUrl;
// A web address (or any "scheme://" address) as it is; anything else is a
// local path, made absolute.
QUrl shellUrl(const QString& fileOrUrl);
