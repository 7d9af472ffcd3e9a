#include "platform/locale_services.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/thread_locale_scope.h"

namespace chronel::platform {
namespace {

using test::ThreadLocaleScope;

int Sign(int value) { return (value > 0) - (value < 0); }

// Orderings that the user's locale and the POSIX table agree on; the position of accented
// letters among plain ones is left to the locale.
TEST(LocaleServices, CaseInsensitiveComparison) {
  struct Case {
    const char* a;
    const char* b;
    int order;
  };
  const Case cases[] = {
      {"abc", "ABC", 0}, {"Ä", "ä", 0},        {"ÖLFÜßE", "ölfüße", 0}, {"ÿ", "Ÿ", 0},
      {"A1", "a1", 0},   {"a", "b", -1},       {"Z", "a", 1},           {"a", "Z", -1},
      {"", "a", -1},     {"Tasks", "Task", 1}, {"é", "e", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareTextLocale(c.a, c.b)), c.order) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareTextLocale(c.b, c.a)), -c.order) << c.b << " : " << c.a;
    EXPECT_EQ(SameTextLocale(c.a, c.b), c.order == 0) << c.a << " : " << c.b;
  }
}

// Files of older tools hold keys in a Windows code page (Ä is the byte C4, ä E4, Ö D6): they
// must not all compare as the same replacement character.
TEST(LocaleServices, TextThatIsNotUtf8IsTakenAsTheAnsiCodePage) {
  EXPECT_FALSE(SameTextLocale("\xC4", "\xD6"));
  EXPECT_LT(CompareTextLocale("\xC4", "\xD6"), 0);
  EXPECT_TRUE(SameTextLocale("\xC4", "\xE4"));
  EXPECT_TRUE(SameTextLocale("\xC4", "Ä"));
  EXPECT_NE(LowerCaseLocale("\xC4"), LowerCaseLocale("\xD6"));
  EXPECT_EQ(LowerCaseLocale("\xC4"), "ä");
}

TEST(LocaleServices, CaseMappingOfLatin1Letters) {
  EXPECT_EQ(LowerCaseLocale("ÄBCÖÜÞ×Ÿ MiXeD 1"), "äbcöüþ×ÿ mixed 1");
  EXPECT_EQ(UpperCaseLocale("äbcöüþ÷ÿß mixed 1"), "ÄBCÖÜÞ÷Ÿß MIXED 1");
  EXPECT_EQ(LowerCaseLocale("COMMAND"), "command");
  EXPECT_EQ(LowerCaseLocale(""), "");
}

TEST(LocaleServices, FormatsFollowTheThreadLocale) {
  const LocaleId before = ThreadLocaleId();
  {
    ThreadLocaleScope english(kLocaleEnglishUnitedStates);
    EXPECT_EQ(ThreadLocaleId(), kLocaleEnglishUnitedStates);
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
    EXPECT_EQ(LocaleShortDayNames(),
              (std::array<std::string, 7>{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}));
  }
  {
    ThreadLocaleScope german(kLocaleGermanGermany);
    EXPECT_EQ(LocaleDecimalSeparator(), ',');
    const std::array<std::string, 7> days = LocaleShortDayNames();
    const char* starts[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};  // some add a period
    for (size_t i = 0; i < days.size(); ++i) EXPECT_EQ(days[i].substr(0, 2), starts[i]);
    // Another thread keeps its own locale.
    LocaleId other = 0;
    std::thread([&] { other = ThreadLocaleId(); }).join();
    EXPECT_EQ(other, before);
  }
  EXPECT_EQ(ThreadLocaleId(), before);
}

}  // namespace
}  // namespace chronel::platform
