#pragma once

#include <stdexcept>
#include <string>

// Thrown by a platform operation that this build does not provide yet. It
// never pretends to work.
class NotAvailable : public std::runtime_error {
 public:
  explicit NotAvailable(const std::string& what) : std::runtime_error(what + ": not available yet") {}
};
