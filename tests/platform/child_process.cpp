#include "platform/child_process.h"

#include <cstdlib>
#include <vector>

#include "platform/module_info.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace chronel::test {
namespace {

void SetVariable(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

int Run(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
#ifdef _WIN32
  // The C run-time joins the arguments with blanks; none of ours contains one.
  const intptr_t code = _spawnv(_P_WAIT, program.c_str(), argv.data());
  return static_cast<int>(code);
#else
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

}  // namespace

int RunThisProgram(const std::string& filter, const std::string& name, const std::string& value) {
  const std::string program = platform::ModuleFilePath(platform::OwnModule());
  SetVariable(name, value);
  const int code = Run(program, {"--gtest_filter=" + filter});
  SetVariable(name, "");
  return code;
}

}  // namespace chronel::test
