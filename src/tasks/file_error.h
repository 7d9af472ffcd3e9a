// The error raised when a settings file cannot be read or written.
#pragma once

#include <string_view>

#include "core/exception.h"

namespace chronel {

// Carries the operating system's reason as text, e.g.
// Cannot create file "C:\x.ini". Permission denied
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

EFileError FileOpenError(std::string_view file_name, std::string_view reason);
EFileError FileCreateError(std::string_view file_name, std::string_view reason);

// The text of the calling thread's last C library error (errno).
std::string LastErrorText();

}  // namespace chronel
