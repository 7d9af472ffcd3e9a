#include "platform/module_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "chronel_version.h"

namespace chronel::platform {
namespace {

int a_variable_of_this_program = 0;

#ifdef _WIN32
constexpr const char* kSystemLibrary = "kernel32.dll";
constexpr const char* kSystemFunction = "GetTickCount";
#else
constexpr const char* kSystemLibrary = "libc.so.6";
constexpr const char* kSystemFunction = "getpid";
#endif

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

TEST(ModuleInfo, OwnModuleIsTheTestProgram) {
  const ModuleHandle own = OwnModule();
  ASSERT_NE(own, 0u);
  EXPECT_EQ(ModuleContaining(&a_variable_of_this_program), own);
  const std::string path = ModuleFilePath(own);
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  EXPECT_EQ(FileName(path).substr(0, 14), "platform_tests");
  EXPECT_EQ(FindLoadedModule(FileName(path)), own);
  EXPECT_EQ(FindLoadedModule(path), own);
}

TEST(ModuleInfo, OwnVersionIsTheProjectVersion) {
  const std::optional<TFileVersion> version = ModuleFileVersion(OwnModule());
  ASSERT_TRUE(version);
  EXPECT_EQ(*version,
            (TFileVersion{CHRONEL_VERSION_MAJOR, CHRONEL_VERSION_MINOR, CHRONEL_VERSION_PATCH, 0}));
}

TEST(ModuleInfo, LoadedLibrariesAndTheirExports) {
  const ModuleHandle library = FindLoadedModule(kSystemLibrary);
  ASSERT_NE(library, 0u);
  void* function = ModuleSymbol(library, kSystemFunction);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(ModuleContaining(function), library);
  EXPECT_EQ(FileName(ModuleFilePath(library)), kSystemLibrary);
  EXPECT_EQ(ModuleSymbol(library, "NoSuchExportAnywhere"), nullptr);
  EXPECT_EQ(FindLoadedModule("no_such_module_anywhere.dll"), 0u);
  EXPECT_EQ(ModuleFilePath(0), "");
  EXPECT_EQ(ModuleContaining(nullptr), 0u);
}

}  // namespace
}  // namespace chronel::platform
