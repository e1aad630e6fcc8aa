#pragma once
// The writer's error classes. Every failure of the writer is one of these, or
// a plain std::runtime_error where the failure is not about a PDF value or
// operation (unknown font or image creator names, virtual objects made the
// wrong way). Messages are UTF-8.

#include <stdexcept>
#include <string>

namespace pdf {

// A value handed to the writer that it cannot use.
class EPdfInvalidValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An operation called in a state where it cannot run.
class EPdfInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture the image creators cannot turn into an image object.
class EPdfInvalidImageFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a date in the PDF form "D:yyyymmddhhnnss".
class EPdfConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace pdf
