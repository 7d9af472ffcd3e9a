#include "tasks/value_encoding.h"

#include <gtest/gtest.h>

#include <random>

#include "tasks/property_line.h"

namespace chronel {
namespace {

TEST(EncodeValue, EscapesWhatAStoredValueCannotHold) {
  const struct {
    std::string value;
    const char* text;
  } cases[] = {
      {"L1\r\nL2\r\n", "L1%0d%0aL2%0d%0a"},
      {" a+b% \r\n", "+a%2bb%% %0d%0a"},  // the last blank is not at the very end
      {"  x  ", "++x++"},
      {" ", "+"},
      {"a b", "a b"},
      {"\t\x1F", "%09%1f"},
      {std::string("\0", 1), "%00"},
      {"\xC3\xA4\x7F\xFF", "\xC3\xA4\x7F\xFF"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeValue(c.value), c.text) << c.text;
    EXPECT_EQ(DecodeValue(c.text), c.value) << c.text;
  }
}

TEST(DecodeValue, CopiesAPercentSignThatStartsNoEscape) {
  const struct {
    const char* text;
    const char* value;
  } cases[] = {
      {"%41%2B%2b", "A++"}, {"%4", "%4"},   {"%zz", "%zz"}, {"a%", "a%"},
      {"%%41", "%41"},      {"%%%41", "%A"}, {"1+1", "1 1"}, {"%4g", "%4g"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeValue(c.text), c.value) << c.text;
}

TEST(EncodeValue, RoundTripsEveryByteString) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string value(random() % 24, '\0');
    for (char& c : value) c = static_cast<char>(random() % 4 == 0 ? " %+"[random() % 3] : random());
    ASSERT_EQ(DecodeValue(EncodeValue(value)), value);
  }
}

TEST(ParsePropertyLine, SplitsPropertyPathAndValuePath) {
  const auto line = ParsePropertyLine("  frm.Grid.Width , Grid \\ Columns\\Width ");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->PropertyPath, "frm.Grid.Width");
  EXPECT_EQ(line->SubKeys, (std::vector<std::string>{"Grid", "Columns"}));
  EXPECT_EQ(line->ValueName, "Width");

  const auto bare = ParsePropertyLine("Left");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->ValueName, "");
  EXPECT_TRUE(bare->SubKeys.empty());

  const auto cut = ParsePropertyLine("Left,A\\\\B");  // the value path ends at an empty part
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->ValueName, "A");
  EXPECT_TRUE(cut->SubKeys.empty());

  for (const char* skipped : {"", "   ", ";---short---", " ; Left,Left", ",Tasks"}) {
    EXPECT_FALSE(ParsePropertyLine(skipped)) << skipped;
  }
}

}  // namespace
}  // namespace chronel
