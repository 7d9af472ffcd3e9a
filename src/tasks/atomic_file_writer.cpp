#include "tasks/atomic_file_writer.h"

#include <atomic>
#include <cerrno>
#include <random>
#include <system_error>

#include "core/numbers.h"
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
  return fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

}  // namespace

void SetWriteLimitForTesting(std::optional<uint64_t> bytes) {
  write_limit = bytes ? static_cast<int64_t>(*bytes) : -1;
}

TAtomicFileWriter::TAtomicFileWriter(std::string_view file_name, size_t buffer_size)
    : file_name_(file_name), target_(ResolveTarget(PathFromUtf8(file_name))),
      buffer_size_(buffer_size) {
  std::error_code error;
  if (IsReadOnly(fs::status(target_, error))) {
    throw FileCreateError(file_name_, std::make_error_code(std::errc::permission_denied).message());
  }
  temporary_ = target_;
  temporary_ += TemporarySuffix();
  errno = 0;
  if (!file_.open(temporary_, std::ios::out | std::ios::binary | std::ios::trunc)) {
    throw FileCreateError(file_name_, LastErrorText());
  }
  buffer_.reserve(buffer_size_);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (committed_) return;
  file_.close();
  std::error_code ignored;
  fs::remove(temporary_, ignored);
}

void TAtomicFileWriter::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() <= buffer_size_) {
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
  Flush();
  errno = 0;
  if (!file_.close()) Fail(LastErrorText());
  std::error_code error;
  const fs::file_status old_status = fs::status(target_, error);
  if (fs::exists(old_status)) fs::permissions(temporary_, old_status.permissions(), error);
  fs::rename(temporary_, target_, error);
  if (error) Fail(error.message());
  committed_ = true;
}

}  // namespace chronel
