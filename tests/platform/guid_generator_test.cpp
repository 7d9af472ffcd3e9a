#include "platform/guid_generator.h"

#include <gtest/gtest.h>

#include <set>

namespace chronel::platform {
namespace {

TEST(CreateGuid, RandomVersion4GuidsThatAreUniqueAndReadBack) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const TGuid guid = CreateGuid();
    EXPECT_EQ(guid.D3 >> 12, 4) << "version";
    EXPECT_EQ(guid.D4[0] >> 6, 2) << "variant";
    const std::string text = GuidToString(guid);
    EXPECT_EQ(text.size(), 38u);
    EXPECT_EQ(StringToGuid(text), guid);
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

}  // namespace
}  // namespace chronel::platform
