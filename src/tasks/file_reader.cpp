#include "tasks/file_reader.h"

#include <cerrno>

#include "tasks/file_error.h"

namespace chronel {

std::filesystem::path PathFromUtf8(std::string_view file_name) {
  return std::filesystem::path(std::u8string(file_name.begin(), file_name.end()));
}

bool FileExists(std::string_view file_name) {
  std::error_code error;
  const auto status = std::filesystem::status(PathFromUtf8(file_name), error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

TFileReader::TFileReader(std::string_view file_name) : file_name_(file_name) {
  errno = 0;
  if (!file_.open(PathFromUtf8(file_name), std::ios::in | std::ios::binary)) {
    throw FileOpenError(file_name_, LastErrorText());
  }
}

size_t TFileReader::Read(char* buffer, size_t size) {
  errno = 0;
  const std::streamsize got = file_.sgetn(buffer, static_cast<std::streamsize>(size));
  if (got < 0) throw FileOpenError(file_name_, LastErrorText());
  // A short read with errno set is an error (EIO, EISDIR), not the end of the file.
  if (static_cast<size_t>(got) < size && errno != 0) {
    throw FileOpenError(file_name_, LastErrorText());
  }
  return static_cast<size_t>(got);
}

}  // namespace chronel
