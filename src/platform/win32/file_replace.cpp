#include "platform/file_replace.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {

bool AdoptFileOwnership(const std::filesystem::path&, const std::filesystem::path&) {
  return true;
}

// ReplaceFileW moves the replacement into place and gives it the replaced file's attributes,
// security descriptor, creation time and short name; a plain rename would leave the
// replacement's, inherited from the folder.
std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::filesystem::path& replacement) {
  auto moveIntoPlace = [&] {
    return MoveFileExW(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  };
  bool replaced = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES
                      ? moveIntoPlace()
                      : ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, 0, nullptr,
                                     nullptr) != 0;
  // These two failures have already taken the old file away from its name (deleted, or kept
  // under another one) and left the replacement under its own: moving it into place is all
  // that is left to do, and the only way the new contents are not lost.
  if (!replaced && (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                    GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)) {
    replaced = moveIntoPlace();
  }
  if (replaced) return {};
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

}  // namespace chronel::platform
