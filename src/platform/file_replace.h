// Replacing a file by a new one written beside it, without changing who may do what with it.
//
// Threads: every function may be called from any thread.
#pragma once

#include <filesystem>
#include <system_error>

namespace chronel::platform {

// Gives `replacement`, a file just created beside the existing `target`, what a replace must
// keep of `target`: on POSIX its permission bits, owner and group. False when it cannot (the
// file of another user, which only an administrator may give away): replacing would then hand
// the file to the caller. On Windows always true; ReplaceFileWith keeps them there.
bool AdoptFileOwnership(const std::filesystem::path& target,
                        const std::filesystem::path& replacement);

// Puts `replacement` in the place of `target` in one step, whether or not `target` exists,
// after its contents are on the disk. On Windows an existing target keeps its attributes and
// security (ReplaceFileW). Answers the reason of a failure, and nothing has changed then, with
// one exception on Windows: a replace that fails after taking the old file from its name is
// finished by a plain move, and if that fails too, `target` is gone while `replacement` is left
// as it was. An empty code on success.
std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::filesystem::path& replacement);

}  // namespace chronel::platform
