#include <gtest/gtest.h>

#include <cstdint>

#include "platform/dynamic_library.h"
#include "plugin/exports.h"

namespace chronel {
namespace {

using GetPluginIntfVersionFn = int32_t(CHRONEL_STDCALL*)();

TEST(PluginLibrary, LoadsAndAnswersItsInterfaceVersion) {
  std::string error;
  auto library = platform::DynamicLibrary::Open(CHRONEL_PLUGIN_PATH, error);
  ASSERT_TRUE(library) << error;
  auto version = library->As<GetPluginIntfVersionFn>("GetPluginIntfVersion");
  ASSERT_NE(version, nullptr) << "the export must be found by its undecorated name";
  EXPECT_EQ(version(), 4);
  EXPECT_EQ(library->Symbol("NoSuchExport"), nullptr);
}

}  // namespace
}  // namespace chronel
