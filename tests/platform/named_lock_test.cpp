#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/guid.h"
#include "platform/child_process.h"
#include "platform/guid_generator.h"

namespace chronel::platform {
namespace {

constexpr const char* kChildLockVariable = "CHRONEL_TEST_LOCK";

std::string UniqueLockName() {
  return "C:\\Data\\chronel test " + GuidToString(CreateGuid()) + ".ini";
}

TEST(NamedLockName, SafeNamesStayAndOthersBecomeSafeAndDistinct) {
  EXPECT_EQ(NamedLockSystemName("c__data_tasks_ini"), "c__data_tasks_ini");
  const std::string windows_path = NamedLockSystemName("C:\\Data\\Tasks.ini");
  const std::string posix_path = NamedLockSystemName("C:/Data/Tasks.ini");
  EXPECT_EQ(windows_path.substr(0, 18), "C__Data_Tasks.ini-");
  EXPECT_NE(windows_path, posix_path);
  EXPECT_NE(NamedLockSystemName("a"), NamedLockSystemName("A"));
  EXPECT_FALSE(NamedLockSystemName("").empty());
  const std::string long_name(300, 'x');
  EXPECT_LE(NamedLockSystemName(long_name).size(), 109u);
  EXPECT_NE(NamedLockSystemName(long_name), NamedLockSystemName(long_name + "y"));
  for (const char c : windows_path) {
    EXPECT_TRUE(isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.') << c;
  }
}

TEST(NamedLock, OwnerMayReenterOtherThreadsWait) {
  const std::string name = UniqueLockName();
  std::atomic<bool> other_got_it{false};
  std::thread other;
  {
    NamedLock lock(name);
    ASSERT_TRUE(lock.Held());
    {
      NamedLock again(name, 0);
      EXPECT_TRUE(again.Held());
    }
    std::thread([&] { EXPECT_FALSE(NamedLock(name, 50).Held()); }).join();
    other = std::thread([&] {
      NamedLock waiting(name);
      other_got_it = waiting.Held();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(other_got_it);
  }
  other.join();
  EXPECT_TRUE(other_got_it);
  EXPECT_TRUE(NamedLock(name, 0).Held());
}

// The child's exit codes.
constexpr int kChildTookTheLock = 10;
constexpr int kChildFoundTheLockTaken = 20;

// Run by the test below in a child process: tries the lock named in the environment and ends
// the process with the answer. Does nothing in an ordinary run.
TEST(NamedLockChild, TriesTheLock) {
  const char* name = std::getenv(kChildLockVariable);
  if (!name || !*name) GTEST_SKIP() << "only run as the child of NamedLock.ExcludesOtherProcesses";
  const bool held = NamedLock(name, 0).Held();
  std::exit(held ? kChildTookTheLock : kChildFoundTheLockTaken);
}

TEST(NamedLock, ExcludesOtherProcesses) {
  const std::string name = UniqueLockName();
  {
    NamedLock lock(name);
    ASSERT_TRUE(lock.Held());
    EXPECT_EQ(test::RunThisProgram("NamedLockChild.TriesTheLock", kChildLockVariable, name),
              kChildFoundTheLockTaken);
  }
  EXPECT_EQ(test::RunThisProgram("NamedLockChild.TriesTheLock", kChildLockVariable, name),
            kChildTookTheLock);
}

}  // namespace
}  // namespace chronel::platform
