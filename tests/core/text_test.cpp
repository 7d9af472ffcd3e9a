#include "core/text.h"

#include <gtest/gtest.h>

namespace chronel {
namespace {

struct FieldCase {
  const char* text;
  const char* delimiter;
  int n;
  bool trim;
  const char* expected;
};

TEST(ExtractField, TakesTheNthFieldCountedFromOne) {
  const FieldCase cases[] = {
      {"a;b;c", ";", 2, false, "b"},
      {"a;b;c", ";", 3, false, "c"},
      {"a;b;c", ";", 4, false, ""},
      {";a", ";", 1, false, ""},
      {"x; b ;y", ";", 2, true, "b"},
      {"x;\t b\r\n;y", ";", 2, true, "b"},
      {"x; b ;y", ";", 2, false, " b "},
      {"a||b||c", "||", 2, true, "b"},
      {"a|b||c", "||", 1, true, "a|b"},
      {"a||||c", "||", 2, true, ""},
      {"a||||c", "||", 3, true, "c"},
      {"abc", ";", 1, true, "abc"},
      {"abc", ";", 0, true, ""},
      {"abc", ";", -3, true, ""},
      {"", ";", 1, true, ""},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(ExtractField(c.text, c.delimiter, c.n, c.trim), c.expected)
        << "text '" << c.text << "' field " << c.n;
  }
}

TEST(ExtractField, ReportsLengthAndStartOfTheFieldFound) {
  int length = 99, start = 99;
  EXPECT_EQ(ExtractField("ab;cde;f", ";", 2, false, &length, &start), "cde");
  EXPECT_EQ(length, 3);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(ExtractField("ab;cde", ";", 5, false, &length, &start), "");
  EXPECT_EQ(start, -1);
}

TEST(Trim, RemovesCodesUpToBlankOnly) {
  EXPECT_EQ(Trim(std::string("\x01\t a b \r\n\x20", 9)), "a b");
  EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");  // no-break space is not trimmed
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim(" \t "), "");
}

TEST(CaseFolding, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCaseAscii("daily \xC3\xA4z{}"), "DAILY \xC3\xA4Z{}");
  EXPECT_EQ(LowerCaseAscii("OPEN \xC3\x84Z@["), "open \xC3\x84z@[");
  EXPECT_TRUE(SameTextAscii("Section", "sECTION"));
  EXPECT_FALSE(SameTextAscii("\xC3\xA4", "\xC3\x84"));
  EXPECT_FALSE(SameTextAscii("a", "ab"));
  EXPECT_FALSE(SameTextAscii("@", "`"));  // neighbours of the letters do not fold
}

TEST(SplitLines, CutsAtCrLfAndCrLfAlike) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("a\n\r"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("\n"), (Lines{""}));
}

TEST(ReplaceAll, ReplacesEveryOccurrenceLeftToRight) {
  EXPECT_EQ(ReplaceAll("a||b||||c", "||", "\n"), "a\nb\n\nc");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

}  // namespace
}  // namespace chronel
