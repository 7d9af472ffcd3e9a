#include <gtest/gtest.h>

#include "core/crc32.h"
#include "core/guid.h"

namespace chronel {
namespace {

TEST(Crc32, IsTheChecksumOfZip) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Guid, TextFormRoundTrips) {
  const TGuid guid{0x0123ABCD, 0x4567, 0x89EF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
  const std::string text = GuidToString(guid);
  EXPECT_EQ(text, "{0123ABCD-4567-89EF-FEDC-BA9876543210}");
  EXPECT_EQ(StringToGuid(text), guid);
  EXPECT_EQ(StringToGuid("{0123abcd-4567-89ef-fedc-ba9876543210}"), guid);
}

TEST(Guid, RejectsAnythingButTheBracedForm) {
  for (const char* bad : {"", "0123ABCD-4567-89EF-FEDC-BA9876543210",
                          "{0123ABCD-4567-89EF-FEDCBA-9876543210}",
                          "{0123ABCD-4567-89EF-FEDC-BA987654321G}",
                          "{0123ABCD-4567-89EF-FEDC-BA9876543210"}) {
    EXPECT_FALSE(StringToGuid(bad)) << bad;
  }
}

}  // namespace
}  // namespace chronel
