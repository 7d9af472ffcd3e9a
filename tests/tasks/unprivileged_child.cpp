#include "tasks/unprivileged_child.h"

#include <exception>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace chronel::testing {

#ifdef _WIN32

bool RunsAsRoot() { return false; }

UnprivilegedRun RunUnprivileged(const std::function<std::string()>&) {
  return {false, "Windows offers these tests no second user to run as", ""};
}

std::optional<unsigned> FileOwnerId(const std::filesystem::path&) { return std::nullopt; }

#else

namespace {

constexpr int kCannotDrop = 77;

bool DropRoot() {
  return setgroups(0, nullptr) == 0 && setgid(kUnprivilegedId) == 0 &&
         setuid(kUnprivilegedId) == 0 && geteuid() != 0;
}

std::string Checked(const std::function<std::string()>& check) {
  try {
    return check();
  } catch (const std::exception& error) {
    return std::string("raised: ") + error.what();
  }
}

// The child never returns into the test: _exit skips the destructors and exit handlers that
// belong to the parent (the test's temporary folder among them).
[[noreturn]] void RunChild(int out, const std::function<std::string()>& check) {
  if (RunsAsRoot() && !DropRoot()) _exit(kCannotDrop);
  const std::string report = Checked(check);
  for (size_t done = 0; done < report.size();) {
    const ssize_t put = write(out, report.data() + done, report.size() - done);
    if (put <= 0) _exit(1);
    done += static_cast<size_t>(put);
  }
  _exit(0);
}

std::string ReadAll(int in) {
  std::string text;
  char chunk[512];
  for (ssize_t got; (got = read(in, chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<size_t>(got));
  }
  return text;
}

}  // namespace

bool RunsAsRoot() { return geteuid() == 0; }

UnprivilegedRun RunUnprivileged(const std::function<std::string()>& check) {
  int ends[2];
  if (pipe(ends) != 0) return {false, "no pipe to the child", ""};
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    RunChild(ends[1], check);
  }
  close(ends[1]);
  const std::string report = child > 0 ? ReadAll(ends[0]) : "";
  close(ends[0]);
  if (child < 0) return {false, "no child process", ""};
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return {true, "", "the child process did not end normally"};
  }
  if (WEXITSTATUS(status) == kCannotDrop) {
    return {false, "root could not drop its rights to user 65534", ""};
  }
  if (WEXITSTATUS(status) != 0) return {true, "", "the child process failed"};
  return {true, "", report};
}

std::optional<unsigned> FileOwnerId(const std::filesystem::path& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) return std::nullopt;
  return status.st_uid;
}

#endif

}  // namespace chronel::testing
