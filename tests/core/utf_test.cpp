#include "core/utf.h"

#include <gtest/gtest.h>

namespace chronel {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
  const std::string text = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, a-umlaut, euro, emoji
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'A', u'\u00E4', u'\u20AC', 0xD83D, 0xDE00}));
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xE4z"), (std::u16string{u'a', 0xFFFD, u'z'}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD}));  // overlong "/"
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), (std::u16string{0xFFFD, 0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F"), (std::u16string{0xFFFD, 0xFFFD}));  // cut short
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, u'x'}), "\xEF\xBF\xBDx");
}

TEST(Utf, ValidityCheck) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA4 \xEF\xBF\xBD"));
  EXPECT_FALSE(IsValidUtf8("Stra\xDF" "e"));  // Latin-1 sharp s
  EXPECT_FALSE(IsValidUtf8("\xC3"));
}

}  // namespace
}  // namespace chronel
