// The error type of the whole program. An error carries the text shown to the user;
// window procedures catch it at their boundary and show it in a message box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vantorel {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A line-list index out of range ("List index out of bounds (%d)").
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened, read, created or written.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

// A registry value of the wrong type or a refused write.
class ERegistryError : public Exception {
 public:
  using Exception::Exception;
};

// A property set to a value it cannot take ("Scrollbar property out of range").
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A programming error caught by an assertion ("Assertion failure").
class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
};

// Replaces each "%s" of a message template, in order, by the given texts; a "%d"
// takes the next text too (callers pass numbers already formatted).
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace vantorel
