#include "tasks/atomic_file_writer.h"

#include <atomic>
#include <cerrno>
#include <random>
#include <system_error>

#include "core/numbers.h"
#include "platform/file_replace.h"
#include "tasks/file_error.h"
#include "tasks/file_reader.h"

namespace chronel {
namespace {

namespace fs = std::filesystem;

std::atomic<int64_t> write_limit{-1};

// Unique among the writers of all processes with overwhelming likelihood; a temporary file
// left behind by a killed process is never reused by mistake.
std::string TemporarySuffix() {
  static std::atomic<uint32_t> counter{0};
  static const uint32_t process_seed = std::random_device{}();
  const uint32_t value = process_seed ^ (counter.fetch_add(1) * 0x9E3779B9u);
  return std::string(".").append(IntToHex(value, 8)).append(".tmp");
}

// Replacing a symbolic link would cut the link; the file it points at is the one to replace.
fs::path ResolveTarget(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  const fs::path real = fs::weakly_canonical(path, error);
  return error ? path : real;
}

bool IsReadOnly(fs::file_status status) {
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// The folder refuses a new file there (no right to, or a name it cannot hold), as opposed to a
// disk that is full or failing: only then may the target be rewritten in place instead. Windows
// reports a name too long for the folder as a missing path.
bool IsRefusal(int error) {
  return error == EACCES || error == EPERM || error == ENAMETOOLONG || error == ENOENT;
}

}  // namespace

void SetWriteLimitForTesting(std::optional<uint64_t> bytes) {
  write_limit = bytes ? static_cast<int64_t>(*bytes) : -1;
}

TAtomicFileWriter::TAtomicFileWriter(std::string_view file_name, size_t buffer_size)
    : file_name_(file_name), target_(ResolveTarget(PathFromUtf8(file_name))),
      buffer_size_(buffer_size) {
  std::error_code error;
  const fs::file_status status = fs::status(target_, error);
  const bool replacing = fs::exists(status);
  if (replacing) RefuseUnwritableTarget(status);
  in_place_ = !CreateTemporary(replacing);
  if (!in_place_) buffer_.reserve(buffer_size_);
}

// The caller may only change a file it could write itself. The read-only mark counts even for
// an administrator, whose rights would ignore it.
void TAtomicFileWriter::RefuseUnwritableTarget(fs::file_status status) const {
  if (IsReadOnly(status)) {
    throw FileCreateError(file_name_, std::make_error_code(std::errc::permission_denied).message());
  }
  std::filebuf probe;
  errno = 0;
  if (!probe.open(target_, std::ios::in | std::ios::out | std::ios::binary)) {
    throw FileCreateError(file_name_, LastErrorText());
  }
}

// False when the existing target is to be rewritten in place: the folder refuses a temporary
// file, or the new file could not keep the old one's owner. Raises when the temporary file
// cannot be had otherwise.
bool TAtomicFileWriter::CreateTemporary(bool replacing) {
  temporary_ = target_;
  temporary_ += TemporarySuffix();
  errno = 0;
  if (!file_.open(temporary_, std::ios::out | std::ios::binary | std::ios::trunc)) {
    if (!replacing || !IsRefusal(errno)) throw FileCreateError(file_name_, LastErrorText());
    return false;
  }
  if (!replacing || platform::AdoptFileOwnership(target_, temporary_)) return true;
  file_.close();
  std::error_code ignored;
  fs::remove(temporary_, ignored);
  return false;
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (committed_) return;
  file_.close();
  if (in_place_) return;  // the target is not ours to remove
  std::error_code ignored;
  fs::remove(temporary_, ignored);
}

void TAtomicFileWriter::Write(std::string_view bytes) {
  // In place, the target is cut only at Commit, once every byte is there.
  if (in_place_ || buffer_.size() + bytes.size() <= buffer_size_) {
    buffer_.append(bytes);
    return;
  }
  Flush();
  if (bytes.size() < buffer_size_) {
    buffer_.append(bytes);
    return;
  }
  Put(bytes);
}

void TAtomicFileWriter::Flush() {
  Put(buffer_);
  buffer_.clear();
}

void TAtomicFileWriter::Put(std::string_view bytes) {
  if (bytes.empty()) return;
  const int64_t limit = write_limit.load();
  const bool over_limit = limit >= 0 && written_ + bytes.size() > static_cast<uint64_t>(limit);
  if (over_limit) {
    bytes = bytes.substr(0, static_cast<size_t>(static_cast<uint64_t>(limit) - written_));
  }
  errno = 0;
  const auto put = file_.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (put != static_cast<std::streamsize>(bytes.size())) Fail(LastErrorText());
  written_ += bytes.size();
  if (over_limit) {
    file_.pubsync();  // the half-written file really is on disk when the failure is seen
    Fail(std::make_error_code(std::errc::no_space_on_device).message());
  }
}

void TAtomicFileWriter::Fail(std::string_view reason) { throw FileCreateError(file_name_, reason); }

void TAtomicFileWriter::Commit() {
  if (in_place_) {
    RewriteInPlace();
  } else {
    ReplaceTarget();
  }
  committed_ = true;
}

void TAtomicFileWriter::ReplaceTarget() {
  Flush();
  errno = 0;
  if (!file_.close()) Fail(LastErrorText());
  const std::error_code error = platform::ReplaceFileWith(target_, temporary_);
  if (error) Fail(error.message());
}

// Not crash-safe, unlike the replace: a crash part-way leaves a cut-off file.
void TAtomicFileWriter::RewriteInPlace() {
  errno = 0;
  if (!file_.open(target_, std::ios::out | std::ios::binary | std::ios::trunc)) {
    Fail(LastErrorText());
  }
  Flush();
  errno = 0;
  if (!file_.close()) Fail(LastErrorText());
}

}  // namespace chronel
