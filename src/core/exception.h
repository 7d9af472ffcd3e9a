// Exceptions raised inside the library: each carries the user-visible message text.
#pragma once

#include <stdexcept>
#include <string>

namespace chronel {

// Base of every error the library raises on purpose. The exports catch it and turn it into a
// result code or a log line; it never crosses to the host.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that does not convert to the value asked for (dates, numbers).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace chronel
