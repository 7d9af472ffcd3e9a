// Rules of the registry interface that both backends apply the same way (private to the
// platform layer).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace chronel::platform {

// The parts of a key path; kRegistryBadPath in `error` when a part is empty ("\a", "a\\b",
// "a\") or there are more than kRegistryMaxDepth. An empty path has no parts.
bool SplitRegistryPath(std::string_view path, std::vector<std::string>& parts,
                       SystemErrorCode& error);

// Whether opening `root` with `access` must fail with kRegistryAccessDenied because of
// SetLocalMachineReadOnlyForTesting.
bool RegistryRootRefuses(RegistryRoot root, RegistryAccess access);

// What both backends check before they open (or, with ReadWrite, create) a key: the path's parts
// in `parts`, and the error that refuses the request at once (0 when none).
SystemErrorCode RefusedRegistryRequest(RegistryRoot root, std::string_view path,
                                       RegistryAccess access, std::vector<std::string>& parts);

// A failed Open or Create: the code goes to `error` when the caller asked for it.
inline std::optional<RegistryKey> FailedRegistryOpen(SystemErrorCode code,
                                                     SystemErrorCode* error) {
  if (error) *error = code;
  return std::nullopt;
}

// The message texts of failed value operations.
std::string InvalidRegistryTypeMessage(std::string_view name);
std::string RegistryGetFailedMessage(std::string_view name);
std::string RegistrySetFailedMessage(std::string_view name);

}  // namespace chronel::platform
