#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace chronel::platform {

bool AdoptFileOwnership(const std::filesystem::path& target,
                        const std::filesystem::path& replacement) {
  struct stat old_file {};
  struct stat new_file {};
  if (stat(target.c_str(), &old_file) != 0 || stat(replacement.c_str(), &new_file) != 0) {
    return false;
  }
  const bool same_owner = new_file.st_uid == old_file.st_uid && new_file.st_gid == old_file.st_gid;
  // Owner first: a change of owner clears the set-user-ID and set-group-ID bits.
  if (!same_owner && chown(replacement.c_str(), old_file.st_uid, old_file.st_gid) != 0) {
    return false;
  }
  return chmod(replacement.c_str(), old_file.st_mode & 07777) == 0;
}

namespace {

// A file system that cannot sync a file (EINVAL, ENOTSUP) is taken as it is; any other failure
// means the contents may not be on the disk (a full disk shows only here, with delayed writes).
std::error_code SyncToDisk(const std::filesystem::path& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::error_code(errno, std::generic_category());
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int error = errno;
  close(fd);
  return synced ? std::error_code() : std::error_code(error, std::generic_category());
}

}  // namespace

// The contents reach the disk before the name does, so that a crash just after the rename finds
// the old file or the whole new one, never an empty one.
std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::filesystem::path& replacement) {
  if (const std::error_code error = SyncToDisk(replacement)) return error;
  if (std::rename(replacement.c_str(), target.c_str()) == 0) return {};
  return std::error_code(errno, std::generic_category());
}

}  // namespace chronel::platform
