#include "plugin/pascal_string.h"

#include <gtest/gtest.h>

#include <cstring>

namespace chronel::plugin {
namespace {

TPascalStringHeader HeaderOf(const char* text) {
  TPascalStringHeader header;
  std::memcpy(&header, text - sizeof(header), sizeof(header));
  return header;
}

TEST(PascalString, NewTextCarriesTheFullHeaderAndATrailingNul) {
  char* text = NewPascalString(std::string_view("ab\0c", 4));
  const TPascalStringHeader header = HeaderOf(text);
  EXPECT_EQ(header.Length, 4);
  EXPECT_EQ(header.RefCount, 1);
  EXPECT_EQ(header.ElementSize, 1);
  EXPECT_EQ(header.CodePage, kPascalStringCodePage);
  EXPECT_EQ(text[4], '\0');
  EXPECT_EQ(PascalStringView(text), std::string_view("ab\0c", 4));
  ReleasePascalString(text);
}

TEST(PascalString, EmptyTextIsNull) {
  EXPECT_EQ(NewPascalString(""), nullptr);
  EXPECT_EQ(PascalStringView(nullptr), "");
  ReleasePascalString(nullptr);
}

// The memory checker of the sanitizer builds reports a text freed too early or never.
TEST(PascalString, SharedTextIsFreedWithItsLastReference) {
  char* text = NewPascalString("shared");
  std::memcpy(text - 8, "\x02\0\0\0", 4);  // a second holder took a reference
  ReleasePascalString(text);
  EXPECT_EQ(HeaderOf(text).RefCount, 1);
  EXPECT_EQ(PascalStringView(text), "shared");
  ReleasePascalString(text);
}

TEST(PascalString, ConstantIsNeverFreed) {
  struct {
    TPascalStringHeader header{kPascalStringCodePage, 1, kPascalStringConstant, 3};
    char chars[4] = "abc";
  } constant;
  ReleasePascalString(constant.chars);
  EXPECT_EQ(constant.header.RefCount, kPascalStringConstant);
  EXPECT_EQ(PascalStringView(constant.chars), "abc");
}

}  // namespace
}  // namespace chronel::plugin
