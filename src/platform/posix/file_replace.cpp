#include "platform/file_replace.h"

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

std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::filesystem::path& replacement) {
  if (std::rename(replacement.c_str(), target.c_str()) == 0) return {};
  return std::error_code(errno, std::generic_category());
}

}  // namespace chronel::platform
