#include "platform/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/thread_locale_scope.h"

namespace chronel::platform {
namespace {

using test::ThreadLocaleScope;

TVarData Raw(VarType type, std::function<void(TVarData&)> fill) {
  TVarData data;
  data.VType = type;
  fill(data);
  return data;
}

Variant Currency(int64_t ten_thousandths) {
  return Variant::Adopt(Raw(kVarCurrency, [&](TVarData& d) { d.VCurrency = ten_thousandths; }));
}

Variant Single(float value) {
  return Variant::Adopt(Raw(kVarSingle, [&](TVarData& d) { d.VSingle = value; }));
}

// The outcome of a conversion: the value's text, or the OLE error code.
template <typename Convert>
std::string Outcome(Convert convert) {
  try {
    return convert();
  } catch (const EVariantError& error) {
    if (error.Code() == kVarTypeMismatch) return "mismatch";
    if (error.Code() == kVarOverflow) return "overflow";
    return "error " + std::to_string(error.Code());
  }
}

std::string AsInt32(const Variant& v) {
  return Outcome([&] { return std::to_string(v.ToInt32()); });
}
std::string AsInt64(const Variant& v) {
  return Outcome([&] { return std::to_string(v.ToInt64()); });
}
std::string AsText(const Variant& v) {
  return Outcome([&] { return v.ToText(); });
}
std::string AsBoolean(const Variant& v) {
  return Outcome([&] { return std::string(v.ToBoolean() ? "true" : "false"); });
}
std::string AsDouble(const Variant& v) {
  return Outcome([&] {
    char text[32];
    snprintf(text, sizeof(text), "%.17g", v.ToDouble());
    return std::string(text);
  });
}

TEST(VariantLayout, MatchesTheSharedRecord) {
  EXPECT_EQ(sizeof(TVarData), sizeof(void*) == 4 ? 16u : 24u);
  EXPECT_EQ(offsetof(TVarData, VType), 0u);
  EXPECT_EQ(offsetof(TVarData, VDouble), 8u);
  const Variant text("Grüße");
  EXPECT_EQ(text.Type(), kVarOleStr);
  const OleChar* characters = text.Raw().VOleStr;
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(characters) - 4, 4);
  EXPECT_EQ(prefix, 10u);  // five UTF-16 characters
  EXPECT_EQ(characters[5], u'\0');
  EXPECT_EQ(Variant(true).Raw().VBoolean, -1);
  EXPECT_EQ(Variant::Null().Type(), kVarNull);
  EXPECT_EQ(Variant().Type(), kVarEmpty);
}

// Expected values as Windows' VariantChangeTypeEx gives them for English (United States).
TEST(VariantConversion, TextToNumbers) {
  ThreadLocaleScope english(kLocaleEnglishUnitedStates);
  struct Case {
    const char* text;
    const char* int32;
    const char* int64;
    const char* boolean;
  };
  const Case cases[] = {
      {"42", "42", "42", "true"},
      {" -7 ", "-7", "-7", "true"},
      {"\t8\r\n", "8", "8", "true"},
      {"2.5", "2", "2", "true"},
      {"3.5", "4", "4", "true"},
      {"-2.5", "-2", "-2", "true"},
      {"0.5000000000000000001", "1", "1", "true"},
      {".5", "0", "0", "true"},
      {"1,000", "1000", "1000", "true"},
      {"1,000.5", "1000", "1000", "true"},
      {"1e3", "1000", "1000", "true"},
      {"1.5E+1", "15", "15", "true"},
      {"&H10", "16", "16", "true"},
      {"&HFFFFFFFF", "-1", "4294967295", nullptr},
      {"&O17", "15", "15", "true"},
      {"(5)", "-5", "-5", "true"},
      {"5-", "-5", "-5", "true"},
      {"$5", "5", "5", "true"},
      {"0", "0", "0", "false"},
      {"-0", "0", "0", "false"},
      {"2147483647", "2147483647", "2147483647", "true"},
      {"2147483648", "overflow", "2147483648", "true"},
      {"-2147483649", "overflow", "-2147483649", "true"},
      {"9223372036854775807", "overflow", "9223372036854775807", "true"},
      {"9223372036854775808", "overflow", "overflow", "true"},
      {"True", "mismatch", "mismatch", "true"},
      {"false", "mismatch", "mismatch", "false"},
      {"#FALSE#", "mismatch", "mismatch", "false"},
      {"abc", "mismatch", "mismatch", "mismatch"},
      {"", "mismatch", "mismatch", "mismatch"},
      {" ", "mismatch", "mismatch", "mismatch"},
      {"12abc", "mismatch", "mismatch", "mismatch"},
      {"0x10", "mismatch", "mismatch", "mismatch"},
      {"1e", "mismatch", "mismatch", "mismatch"},
      {"1.5.5", "mismatch", "mismatch", "mismatch"},
      {"--1", "mismatch", "mismatch", "mismatch"},
      {"(5", "mismatch", "mismatch", "mismatch"},
      {"yes", "mismatch", "mismatch", "mismatch"},
      {"1e400", "overflow", "overflow", "overflow"},
  };
  for (const Case& c : cases) {
    const Variant value(c.text);
    EXPECT_EQ(AsInt32(value), c.int32) << '"' << c.text << '"';
    EXPECT_EQ(AsInt64(value), c.int64) << '"' << c.text << '"';
    if (c.boolean) {
      EXPECT_EQ(AsBoolean(value), c.boolean) << '"' << c.text << '"';
    }
  }
  EXPECT_EQ(AsDouble(Variant("2.5")), "2.5");
  EXPECT_EQ(AsDouble(Variant(" -1.25e-1 ")), "-0.125");
  EXPECT_EQ(AsDouble(Variant("1e-400")), "0");
  EXPECT_EQ(AsDouble(Variant("x")), "mismatch");
}

TEST(VariantConversion, NumbersToText) {
  ThreadLocaleScope english(kLocaleEnglishUnitedStates);
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {1.5, "1.5"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {100, "100"},
      {-0.0, "0"},
      {0.0001, "0.0001"},
      {1e-5, "1E-05"},
      {1.25e-7, "1.25E-07"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.6, "1E+15"},
      {1234567890123456.0, "1.23456789012346E+15"},
      {1e20, "1E+20"},
      {12345678.9, "12345678.9"},
  };
  for (const Case& c : cases) EXPECT_EQ(AsText(Variant(c.value)), c.text) << c.value;
  EXPECT_EQ(AsText(Variant(int32_t{-123})), "-123");
  EXPECT_EQ(AsText(Variant(int64_t{5000000000})), "5000000000");
  EXPECT_EQ(AsText(Variant(true)), "True");
  EXPECT_EQ(AsText(Variant(false)), "False");
  EXPECT_EQ(AsText(Variant()), "");
  EXPECT_EQ(AsText(Variant::Null()), "mismatch");
  EXPECT_EQ(AsText(Single(0.1f)), "0.1");
  EXPECT_EQ(AsText(Single(16777216.0f)), "1.677722E+07");
  EXPECT_EQ(AsText(Currency(12345)), "1.2345");
  EXPECT_EQ(AsText(Currency(-1)), "-0.0001");
  EXPECT_EQ(AsText(Currency(25000)), "2.5");
}

TEST(VariantConversion, NumbersToIntegersRoundHalvesToEven) {
  struct Case {
    double value;
    const char* int32;
  };
  const Case cases[] = {
      {1.5, "2"},
      {2.5, "2"},
      {3.5, "4"},
      {-2.5, "-2"},
      {-0.5, "0"},
      {0.5, "0"},
      {12345678.9, "12345679"},
      {2147483647.4, "2147483647"},
      {2147483647.5, "overflow"},
      {-2147483648.5, "-2147483648"},
      {-2147483649.5, "overflow"},
      {1e20, "overflow"},
  };
  for (const Case& c : cases) EXPECT_EQ(AsInt32(Variant(c.value)), c.int32) << c.value;
  EXPECT_EQ(AsInt64(Variant(2147483647.5)), "2147483648");
  EXPECT_EQ(AsInt64(Variant(1e15)), "1000000000000000");
  EXPECT_EQ(AsInt64(Variant(1e20)), "overflow");
  EXPECT_EQ(AsInt32(Variant(std::numeric_limits<double>::infinity())), "overflow");
  EXPECT_EQ(AsInt32(Currency(25000)), "2");
  EXPECT_EQ(AsInt32(Currency(35000)), "4");
  EXPECT_EQ(AsInt32(Currency(-25001)), "-3");
  EXPECT_EQ(AsInt32(Single(2.5f)), "2");
  EXPECT_EQ(AsInt32(Variant(int64_t{5000000000})), "overflow");
  EXPECT_EQ(AsInt32(Variant(true)), "-1");
  EXPECT_EQ(AsInt32(Variant()), "0");
  EXPECT_EQ(AsInt32(Variant::Null()), "mismatch");
  EXPECT_EQ(AsBoolean(Variant(0.0)), "false");
  EXPECT_EQ(AsBoolean(Variant(-123)), "true");
  EXPECT_EQ(AsBoolean(Variant()), "false");
  EXPECT_EQ(AsBoolean(Variant::Null()), "mismatch");
  EXPECT_EQ(AsDouble(Variant(true)), "-1");
  EXPECT_EQ(AsDouble(Currency(15000)), "1.5");
}

TEST(VariantConversion, FollowTheThreadLocale) {
  ThreadLocaleScope german(kLocaleGermanGermany);
  EXPECT_EQ(AsText(Variant(1.5)), "1,5");
  EXPECT_EQ(AsText(Currency(15000)), "1,5");
  EXPECT_EQ(AsDouble(Variant("1,5")), "1.5");
  EXPECT_EQ(AsInt32(Variant("2,5")), "2");
  EXPECT_EQ(AsInt32(Variant("1.000")), "1000");
  EXPECT_EQ(AsText(Variant(true)), "True");
}

TEST(Variant, CopiesOwnTheirTextAndMovesTakeIt) {
  Variant original("text");
  Variant copy = original;
  EXPECT_NE(copy.Raw().VOleStr, original.Raw().VOleStr);
  EXPECT_EQ(copy.ToText(), "text");
  Variant moved = std::move(copy);
  EXPECT_TRUE(copy.IsEmpty());  // NOLINT: a moved-from Variant is Empty
  EXPECT_EQ(moved.ToText(), "text");
  moved = Variant(7);
  EXPECT_EQ(moved.Type(), kVarInteger);
  TVarData raw = original.Detach();
  EXPECT_TRUE(original.IsEmpty());
  const Variant adopted = Variant::Adopt(raw);
  EXPECT_EQ(adopted.ToText(), "text");
}

TEST(Variant, ForeignValuesAreCopiedAndHostStringsConverted) {
  // The host's 8-bit string: reference count -1, byte length, characters, NUL.
  struct {
    int32_t reference_count = -1;
    uint32_t length = 4;
    char text[5] = "LOAD";
  } host_text;
  const TVarData host = Raw(kVarString, [&](TVarData& d) { d.VString = host_text.text; });
  const Variant stored = Variant::FromRaw(host);
  EXPECT_EQ(stored.Type(), kVarOleStr);
  EXPECT_EQ(stored.ToText(), "LOAD");
  EXPECT_EQ(Variant::FromRaw(Raw(kVarString, [](TVarData& d) { d.VString = nullptr; })).ToText(),
            "");
  EXPECT_THROW(Variant::Adopt(host), EVariantError);
  TVarData copy;
  EXPECT_THROW(VariantCopyData(copy, host), EVariantError);

  int32_t referenced = 77;
  const Variant by_reference = Variant::FromRaw(
      Raw(kVarInteger | kVarByRef, [&](TVarData& d) { d.VPointer = &referenced; }));
  EXPECT_EQ(by_reference.ToInt32(), 77);
  EXPECT_EQ(by_reference.ToText(), "77");
  TVarData inner;
  inner.VType = kVarDouble;
  inner.VDouble = 2.5;
  const Variant to_variant =
      Variant::FromRaw(Raw(kVarVariant | kVarByRef, [&](TVarData& d) { d.VPointer = &inner; }));
  EXPECT_EQ(to_variant.ToInt32(), 2);
}

TEST(OleString, LayoutAndOwnership) {
  const std::u16string_view text(u"a\0b", 3);
  OleChar* allocated = AllocOleString(text);
  EXPECT_EQ(OleStringLength(allocated), 3u);
  EXPECT_EQ(OleStringView(allocated), text);
  EXPECT_EQ(allocated[3], u'\0');
  FreeOleString(allocated);
  EXPECT_EQ(OleStringLength(nullptr), 0u);
  EXPECT_TRUE(OleStringView(nullptr).empty());
  FreeOleString(nullptr);

  OleString owned("Grüße");
  EXPECT_EQ(owned.ToUtf8(), "Grüße");
  // A function that stores a new string into the variable it receives.
  *owned.Receive() = AllocOleStringFromUtf8("COM1\r\nCOM2");
  EXPECT_EQ(owned.ToUtf8(), "COM1\r\nCOM2");
  OleString taken = std::move(owned);
  EXPECT_EQ(owned.Get(), nullptr);  // NOLINT
  EXPECT_EQ(taken.ToUtf8(), "COM1\r\nCOM2");
}

}  // namespace
}  // namespace chronel::platform
