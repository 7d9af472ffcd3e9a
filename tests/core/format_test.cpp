#include "core/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace chronel {
namespace {

struct Case {
  const char* Text;
  std::vector<FormatArg> Args;
  std::string Expected;
};

// The result, or the error's message, so one failing row does not hide the others.
std::string Formatted(std::string_view text, const std::vector<FormatArg>& args,
                const TFormatSettings& settings = DefaultFormatSettings()) {
  try {
    return Format(text, args, settings);
  } catch (const EFormatError& error) {
    return std::string("raised: ") + error.what();
  }
}

// A text that must raise, with its arguments.
struct BadCase {
  const char* Text;
  std::vector<FormatArg> Args;
};

void ExpectAll(const std::vector<Case>& cases,
               const TFormatSettings& settings = DefaultFormatSettings()) {
  for (const Case& c : cases) EXPECT_EQ(Formatted(c.Text, c.Args, settings), c.Expected) << c.Text;
}

const void* Address(uintptr_t value) { return reinterpret_cast<const void*>(value); }

// "ABC" as a pointer's text: as many hex digits as the target's pointers have.
std::string PointerText(std::string_view digits) {
  return std::string(2 * sizeof(void*) - digits.size(), '0') + std::string(digits);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Format, CopiesTextAndPercentSigns) {
  ExpectAll({
      {"", {}, ""},
      {"plain text", {}, "plain text"},
      {"100%%", {}, "100%"},
      {"a%%b%dc%%", {1}, "a%b1c%"},
      {"Grüße %s ✓", {"Jürgen"}, "Grüße Jürgen ✓"},
  });
}

TEST(Format, Integers) {
  ExpectAll({
      {"%d", {42}, "42"},
      {"%d", {-42}, "-42"},
      {"%D", {7}, "7"},
      {"%5d|", {42}, "   42|"},
      {"%-5d|", {42}, "42   |"},
      {"%2d", {12345}, "12345"},
      {"%.5d", {-12}, "-00012"},
      {"%.1d", {123}, "123"},
      {"%.0d", {0}, "0"},
      {"%8.4d|", {-7}, "   -0007|"},
      {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
      {"%d", {std::numeric_limits<uint64_t>::max()}, "18446744073709551615"},
      {"%d", {std::numeric_limits<uint32_t>::max()}, "4294967295"},
      // %u and %x show the bit pattern of the argument's own width.
      {"%u", {-1}, "4294967295"},
      {"%u", {int64_t{-1}}, "18446744073709551615"},
      {"%u", {int8_t{-1}}, "4294967295"},
      {"%.3u", {5u}, "005"},
      {"%x", {255}, "FF"},
      {"%x", {0}, "0"},
      {"%.4x", {255}, "00FF"},
      {"%X", {-1}, "FFFFFFFF"},
      {"%x", {int64_t{-2}}, "FFFFFFFFFFFFFFFE"},
      {"%-6x|", {0xABCu}, "ABC   |"},
  });
}

TEST(Format, FixedAndNumberRoundHalfAwayFromZero) {
  ExpectAll({
      {"%f", {3.14159}, "3.14"},
      {"%F", {2.0}, "2.00"},
      {"%.0f", {2.5}, "3"},
      {"%.0f", {-2.5}, "-3"},
      {"%.0f", {0.5}, "1"},
      {"%.2f", {0.125}, "0.13"},
      {"%.2f", {0.285}, "0.28"},  // the double is 0.28499999999999998...
      {"%.2f", {0.999}, "1.00"},
      {"%.2f", {-0.001}, "0.00"},  // no "-0.00"
      {"%.2f", {-0.0}, "0.00"},
      {"%.3f", {1e-10}, "0.000"},
      {"%.1f", {0.05}, "0.1"},
      {"%.1f", {0.04}, "0.0"},
      {"%f", {1e20}, "100000000000000000000.00"},
      {"%8.3f|", {3.14159}, "   3.142|"},
      {"%-8.1f|", {3.14159}, "3.1     |"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%n", {999.999}, "1,000.00"},
      {"%n", {12.0}, "12.00"},
      {"%.0n", {-1234.5}, "-1,235"},
      {"%.1n", {-123456.04}, "-123,456.0"},
      {"%12n|", {1234.5}, "    1,234.50|"},
  });
}

TEST(Format, ScientificAndGeneral) {
  ExpectAll({
      {"%e", {1000.0}, "1.00000000000000E+003"},
      {"%e", {0.0}, "0.00000000000000E+000"},
      {"%.3e", {-0.000123456}, "-1.23E-004"},
      {"%.1e", {9.96}, "1E+001"},
      {"%.0e", {12.0}, "1E+001"},
      {"%.3e", {1e300}, "1.00E+300"},
      {"%.2e", {5e-324}, "4.9E-324"},
      {"%12.2E|", {-1.5}, "   -1.5E+000|"},
      {"%g", {0.1}, "0.1"},
      {"%g", {100.0}, "100"},
      {"%g", {2.0 / 3}, "0.666666666666667"},
      {"%g", {-0.0}, "0"},
      {"%g", {1e20}, "1E20"},
      {"%g", {1.5e-7}, "1.5E-7"},
      {"%g", {0.0001}, "0.0001"},
      {"%g", {0.00001}, "1E-5"},
      {"%g", {123456789012345678.0}, "1.23456789012346E17"},
      {"%g", {999999999999999.0}, "999999999999999"},
      {"%.3g", {1234.5}, "1.23E3"},
      {"%.3g", {999.5}, "1E3"},
      {"%.3g", {-0.012345}, "-0.0123"},
      {"%-6g|", {1.5}, "1.5   |"},
  });
}

TEST(Format, CurrencyAndNonFiniteValues) {
  ExpectAll({
      {"%m", {1234.5}, "$1,234.50"},
      {"%m", {-5.0}, "-$5.00"},
      {"%m", {-0.001}, "$0.00"},
      {"%.0m", {2.5}, "$3"},
      {"%10m|", {1.0}, "     $1.00|"},
      {"%f", {kNaN}, "NAN"},
      {"%5e|", {kInf}, "  INF|"},
      {"%-5n|", {-kInf}, "-INF |"},
      {"%m", {kInf}, "INF"},
  });
}

TEST(Format, FollowsTheSettings) {
  TFormatSettings settings;
  settings.DecimalSeparator = ',';
  settings.ThousandSeparator = '.';
  settings.CurrencyString = "€";
  settings.CurrencyDecimals = 3;
  settings.CurrencyFormat = TCurrencyFormat::SuffixSpace;
  ExpectAll(
      {
          {"%m", {-1234.5}, "-1.234,500 €"},
          {"%.1m", {2.25}, "2,3 €"},
          {"%9m|", {1.0}, "  1,000 €|"},  // the width counts "€" as one character
          {"%n", {1234567.0}, "1.234.567,00"},
          {"%f", {1.5}, "1,50"},
          {"%e", {1.5}, "1,50000000000000E+000"},
          {"%g", {1.5}, "1,5"},
      },
      settings);

  settings.ThousandSeparator = '\0';
  settings.CurrencyString = "kr";
  for (const auto& [position, expected] :
       std::vector<std::pair<TCurrencyFormat, std::string>>{
           {TCurrencyFormat::Prefix, "-kr1234,500"},
           {TCurrencyFormat::Suffix, "-1234,500kr"},
           {TCurrencyFormat::PrefixSpace, "-kr 1234,500"},
           {TCurrencyFormat::SuffixSpace, "-1234,500 kr"}}) {
    settings.CurrencyFormat = position;
    EXPECT_EQ(Formatted("%m", {-1234.5}, settings), expected);
  }
}

TEST(Format, StringsAndPointers) {
  ExpectAll({
      {"%s", {"abc"}, "abc"},
      {"%S", {std::string("owned")}, "owned"},
      {"%s", {std::string_view("view")}, "view"},
      {"[%s]", {static_cast<const char*>(nullptr)}, "[]"},
      {"%5s|", {"ab"}, "   ab|"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%.0s", {"abc"}, ""},
      {"%.10s", {"abc"}, "abc"},
      {"%.2s|", {"äöü"}, "äö|"},  // precision and width count characters, not bytes
      {"%4s|", {"äö"}, "  äö|"},
      {"%p", {Address(0xABC)}, PointerText("ABC")},
      {"%p", {nullptr}, PointerText("")},
      {"%.2p", {Address(0x1F)}, PointerText("1F")},
      {"%-20p|", {Address(1)}, PointerText("1") + std::string(20 - 2 * sizeof(void*), ' ') + "|"},
  });
}

TEST(Format, IndexAndStar) {
  ExpectAll({
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%d %d %0:d %d", {1, 2}, "1 2 1 2"},  // an index sets where the next ones continue
      {"%1:-4d|", {1, 2}, "2   |"},
      {"%*d|", {5, 42}, "   42|"},
      {"%-*d|", {5, 42}, "42   |"},
      {"%.*f", {3, 3.14159}, "3.142"},
      {"%*.*f|", {8, 1, 2.25}, "     2.3|"},
      {"%*:s", {2, "x", "y"}, "y"},
      {"%1:*d|", {9, 3, 42}, " 42|"},
      {"%*d|", {-5, 42}, "42|"},             // a negative width is no width
      {"%.*f", {-1, 3.14159}, "3.14"},       // a negative precision is the default one
      {"%.*s", {int64_t{-1}, "abc"}, "abc"},
      {"%*s|", {uint64_t{5}, "a"}, "    a|"},
  });
}

TEST(Format, HugeCountsAreBounded) {
  EXPECT_EQ(Format("%99999999999999999999d", {1}).size(), 4096u);
  EXPECT_EQ(Format("%*d", {std::numeric_limits<int64_t>::max(), 1}).size(), 4096u);
  EXPECT_EQ(Format("%.99999999999999999999x", {1}).size(), 4096u);
  EXPECT_EQ(Format("%.5000f", {1.0}).size(), 2u + 4096u);
  EXPECT_EQ(Format("%.*e", {std::numeric_limits<int32_t>::max(), 1.0}).size(), 4096u + 6u);
  // The precision of a text only shortens it, so it needs no bound.
  const std::string long_text(5000, 'a');
  EXPECT_EQ(Format("%.4500s", {long_text}).size(), 4500u);
  EXPECT_EQ(Format("%.99999999999999999999s", {long_text}), long_text);
}

TEST(Format, ErrorsQuoteTheWholeFormat) {
  EXPECT_EQ(Formatted("Task %d of %s", {1, 2}),
            "raised: Format 'Task %d of %s' invalid or incompatible with argument");
  EXPECT_EQ(Formatted("Task %d of %d", {1}), "raised: No argument for format 'Task %d of %d'");
  EXPECT_THROW(Format("%d", {"x"}), Exception);  // callers may catch the common base
  EXPECT_THROW(Format(std::string_view("%\0d", 3), {1}), EFormatError);
}

TEST(Format, MissingArguments) {
  for (const BadCase& c : std::vector<BadCase>{
           {"%d", {}},
           {"%s %s", {"a"}},
           {"%2:d", {1, 2}},
           {"%0:d %1:d %d", {1, 2}},
           {"%99999999999999:d", {1}},
           {"%*:d", {-1, 5}},  // a negative index names no argument
           {"%*d", {}},
           {"%*d", {5}},
           {"%.*f", {}},
       }) {
    EXPECT_EQ(Formatted(c.Text, c.Args),
              "raised: No argument for format '" + std::string(c.Text) + "'")
        << c.Text;
  }
}

TEST(Format, InvalidPlaceholdersAndArgumentsOfTheWrongKind) {
  const auto pointer = Address(16);
  for (const BadCase& c : std::vector<BadCase>{
           // integers only
           {"%d", {1.0}},
           {"%u", {"1"}},
           {"%x", {pointer}},
           // doubles only: an integer does not pass for one
           {"%f", {1}},
           {"%g", {int64_t{1}}},
           {"%e", {"1"}},
           {"%n", {1u}},
           {"%m", {pointer}},
           // texts and pointers only
           {"%s", {1}},
           {"%s", {pointer}},
           {"%p", {1}},
           {"%p", {"x"}},
           // "*" takes an integer
           {"%*d", {1.0, 2}},
           {"%.*f", {"3", 1.0}},
           {"%*:d", {pointer, 1}},
           // malformed or unknown
           {"%", {}},
           {"abc%", {1}},
           {"%5", {1}},
           {"%-", {1}},
           {"%.", {1.0}},
           {"%1:", {1, 2}},
           {"%z", {}},  // the type is checked before the argument
           {"%:d", {1}},
           {"%--5d", {1}},
           {"%5-d", {1}},
           {"%1:2:d", {1, 2, 3}},
           {"%5%", {}},
           {"% d", {1}},
           {"%.-1d", {1}},
       }) {
    EXPECT_EQ(Formatted(c.Text, c.Args),
              "raised: Format '" + std::string(c.Text) + "' invalid or incompatible with argument")
        << c.Text;
  }
}

TEST(Format, ArgumentsOwnTheirText) {
  std::vector<FormatArg> args;
  args.push_back(std::string(40, 'x'));  // the temporary is gone before Format runs
  EXPECT_EQ(Format("%s", args), std::string(40, 'x'));
}

// Characters, booleans and enumerations are refused at compile time: 'A' or true would
// otherwise turn into a number (or a double) silently.
enum Colour { kRed };
static_assert(std::is_convertible_v<int, FormatArg>);
static_assert(std::is_convertible_v<unsigned long long, FormatArg>);
static_assert(std::is_convertible_v<float, FormatArg>);
static_assert(!std::is_convertible_v<char, FormatArg>);
static_assert(!std::is_convertible_v<bool, FormatArg>);
static_assert(!std::is_convertible_v<Colour, FormatArg>);

}  // namespace
}  // namespace chronel
