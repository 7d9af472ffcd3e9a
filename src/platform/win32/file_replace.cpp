#include "platform/file_replace.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {

bool AdoptFileOwnership(const std::filesystem::path&, const std::filesystem::path&) {
  return true;
}

namespace {

std::error_code LastError() {
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

// A full disk may show only here, when the system writes what it has kept in memory.
std::error_code SyncToDisk(const std::filesystem::path& file) {
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  const bool synced = FlushFileBuffers(handle) != 0;
  const std::error_code error = synced ? std::error_code() : LastError();
  CloseHandle(handle);
  return error;
}

}  // namespace

// ReplaceFileW moves the replacement into place and gives it the replaced file's attributes,
// security descriptor, creation time and short name; a plain rename would leave the
// replacement's, inherited from the folder. The contents reach the disk before the name does,
// so that a crash just after the replace finds the old file or the whole new one, never an empty
// one.
std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::filesystem::path& replacement) {
  if (const std::error_code error = SyncToDisk(replacement)) return error;
  auto moveIntoPlace = [&] {
    return MoveFileExW(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
  return LastError();
}

}  // namespace chronel::platform
