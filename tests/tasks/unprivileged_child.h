// Runs a check in a child process without root's rights, for tests of permission bits, which
// root ignores.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace chronel::testing {

// The user and group a root test process drops to (nobody, nogroup).
inline constexpr unsigned kUnprivilegedId = 65534;

struct UnprivilegedRun {
  bool Ran = false;
  std::string SkipReason;  // why it did not run
  std::string Report;      // the check's answer
};

// True when this process runs as root, whose rights make permission bits meaningless.
bool RunsAsRoot();

// Forks (POSIX) and runs `check` in the child: as user and group 65534 when this process is
// root, as this user otherwise. The check's answer comes back as the report; an exception it
// raises is reported as "raised: " and its text. Windows has no such child.
UnprivilegedRun RunUnprivileged(const std::function<std::string()>& check);

// The user id owning a file (POSIX); nothing on Windows or when it cannot be read.
std::optional<unsigned> FileOwnerId(const std::filesystem::path& file);

}  // namespace chronel::testing
