// Reading a file in large chunks, with file names in UTF-8 on every system.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace chronel {

std::filesystem::path PathFromUtf8(std::string_view file_name);

// True for an existing entry of the file system that is not a directory.
bool FileExists(std::string_view file_name);

// Any thread; one reader per thread.
class TFileReader {
 public:
  // Raises EFileError ("Cannot open file ...") when the file cannot be opened.
  explicit TFileReader(std::string_view file_name);

  // Fills up to `size` bytes; answers how many, 0 at the end. Raises EFileError on a read error.
  size_t Read(char* buffer, size_t size);

 private:
  std::string file_name_;
  std::filebuf file_;
};

}  // namespace chronel
