// Writing a file so that readers and crashes only ever see the old or the new content: the
// bytes go to a temporary file beside the target, which then replaces the target in one step.
// The replace never lets the caller do more than write the file's content: a file the caller
// could not write is refused, and the file keeps its permissions, owner and (on Windows)
// attributes and security. Where the folder refuses a temporary file, or the new file could
// not keep the old one's owner, a file the caller may write is rewritten in place instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace chronel {

// Any thread; one writer per thread.
class TAtomicFileWriter {
 public:
  // Creates the temporary file. Raises EFileError ("Cannot create file ...") when it cannot
  // and the target does not exist, or when the target exists and is read-only or cannot be
  // opened for writing.
  TAtomicFileWriter(std::string_view file_name, size_t buffer_size);
  // Without Commit the temporary file is removed and the target stays as it was.
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Flushes and closes the temporary file and puts it in the target's place, or rewrites the
  // target in place with everything written. Raises EFileError.
  void Commit();

 private:
  void RefuseUnwritableTarget(std::filesystem::file_status status) const;
  bool CreateTemporary(bool replacing);
  void ReplaceTarget();
  void RewriteInPlace();
  void Flush();
  void Put(std::string_view bytes);
  void Fail(std::string_view reason);

  std::string file_name_;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::filebuf file_;
  std::string buffer_;
  size_t buffer_size_;
  uint64_t written_ = 0;
  bool in_place_ = false;  // the target is rewritten in place; `buffer_` holds every byte
  bool committed_ = false;
};

// Tests: every writer fails like a full disk once it has written `bytes` bytes to its file;
// nothing restores normal writing. Not for concurrent use with running writers.
void SetWriteLimitForTesting(std::optional<uint64_t> bytes);

}  // namespace chronel
