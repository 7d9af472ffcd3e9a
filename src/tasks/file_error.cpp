#include "tasks/file_error.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace chronel {

EFileError FileOpenError(std::string_view file_name, std::string_view reason) {
  return EFileError("Cannot open file \"" + std::string(file_name) + "\". " + std::string(reason));
}

EFileError FileCreateError(std::string_view file_name, std::string_view reason) {
  return EFileError("Cannot create file \"" + std::string(file_name) + "\". " +
                    std::string(reason));
}

std::string LastErrorText() {
  const int code = errno;
  if (code == 0) return "Input/output error";
  return std::generic_category().message(code);
}

}  // namespace chronel
