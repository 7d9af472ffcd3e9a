#include "core/numbers.h"

#include <gtest/gtest.h>

namespace chronel {
namespace {

TEST(StrToIntDef, ReadsOnlyWholeDecimalIntegers) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"42", 42},         {"-7", -7},     {"+7", 7},        {"  12", 12},
      {"8:", -1},         {"12abc", -1},  {"", -1},         {"12 ", -1},
      {"0x1F", -1},       {"+-3", -1},    {"--3", -1},      {"2147483647", 2147483647},
      {"2147483648", -1}, {"1.0", -1},    {"-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToIntDef(c.text, -1), c.expected) << c.text;
  EXPECT_EQ(StrToInt64Def("9000000000", 0), 9000000000LL);
}

TEST(HexToIntDef, ReadsHexDigitsOnly) {
  EXPECT_EQ(HexToIntDef("C041", 0), 0xC041u);
  EXPECT_EQ(HexToIntDef("c041", 0), 0xC041u);
  EXPECT_EQ(HexToIntDef("FFFFFFFF", 0), 0xFFFFFFFFu);
  EXPECT_EQ(HexToIntDef("100000000", 7), 7u);
  EXPECT_EQ(HexToIntDef("G1", 7), 7u);
  EXPECT_EQ(HexToIntDef("", 7), 7u);
  EXPECT_EQ(HexToIntDef("0x10", 7), 7u);
}

TEST(StrToFloatDef, UsesTheGivenDecimalSeparator) {
  EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", 0), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef(" -2.25E2 ", 0), -225.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", 0, ','), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", 9, ','), 9.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", 9), 9.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("abc", 9), 9.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("inf", 9), 9.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("", 9), 9.0);
}

TEST(FloatToStr, WritesTheShortestTextThatReadsBack) {
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(1.5, ','), "1,5");
  EXPECT_EQ(FloatToStr(2.0), "2");
  EXPECT_EQ(FloatToStr(1e-5), "1E-5");
  EXPECT_EQ(FloatToStr(-2.5e20), "-2.5E20");
  EXPECT_DOUBLE_EQ(StrToFloatDef(FloatToStr(0.1 + 0.2), 0), 0.1 + 0.2);
}

TEST(IntToHex, PadsToTheMinimumDigits) {
  EXPECT_EQ(IntToHex(0x1A2B, 8), "00001A2B");
  EXPECT_EQ(IntToHex(0xFFFFFFFFFull, 4), "FFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 1), "0");
}

}  // namespace
}  // namespace chronel
