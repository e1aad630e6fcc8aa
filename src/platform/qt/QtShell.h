#pragma once

#include <memory>

#include "platform/Shell.h"

// The desktop shell of the window: documents and web pages open in the
// user's default applications; programs needing administrator rights start
// through the system's shell, as in the terminal.
class QtShell : public Shell {
 public:
  explicit QtShell(std::unique_ptr<Shell> system) : system_(std::move(system)) {}
  bool open(const QString& fileOrUrl) override;
  bool runAsAdministrator(const QString& file) override { return system_->runAsAdministrator(file); }

 private:
  std::unique_ptr<Shell> system_;
};

class QUrl;
// A web address (or any "scheme://" address) as it is; anything else is a
// local path, made absolute.
QUrl shellUrl(const QString& fileOrUrl);
