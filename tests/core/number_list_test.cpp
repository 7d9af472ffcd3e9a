#include "core/number_list.h"

#include <gtest/gtest.h>

namespace chronel {
namespace {

struct ListCase {
  const char* text;
  const char* expanded;
};

TEST(ExpandNumberList, ExpandsItemsInPlaceKeepingOrderAndDuplicates) {
  const ListCase cases[] = {
      {"1-3,5,6,9", "1,2,3,5,6,9"},
      {"5,1-3", "5,1,2,3"},
      {" 1 - 3 , 7", "1,2,3,7"},
      {"3,3,1-2,2", "3,3,1,2,2"},
      {"7-5", ""},
      {"x", ""},
      {"1,x,2", "1,2"},
      {"4-4", "4"},
      {"4-", "4"},
      {"4-x", "4"},
      {"-5", ""},          // an empty first part is not a number
      {"1-3-9", "1,2,3"},  // only the first two parts count
      {",,1,,", "1"},
      {"", ""},
      {"0,99,-1", "0,99"},  // nothing is clipped to a range of valid values
      {"31,32", "31,32"},
      {"1\t,2", "1,2"},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(ExpandedListText(c.text), c.expanded) << "list '" << c.text << "'";
  }
}

TEST(ExpandNumberList, ClearsTheListFirst) {
  std::vector<std::string> list{"old"};
  ExpandNumberList("2-3", list);
  EXPECT_EQ(list, (std::vector<std::string>{"2", "3"}));
}

// A long range lists its first kMaxNumberListRange values and its last: every value a task's
// field can match stays, and so do the smallest and the largest.
TEST(ExpandNumberList, CutsLongRangesShortKeepingTheirFirstValuesAndTheirLast) {
  const struct {
    const char* text;
    size_t size;
    const char* at_9999;  // the last value of the first run
    const char* back;
  } cases[] = {
      {"1-10000", 10000, "10000", "10000"},
      {"1-10001", 10001, "10000", "10001"},
      {"5-20000", 10001, "10004", "20000"},
      {"1-2000000000,5", 10002, "10000", "5"},
      {"0-2147483647", 10001, "9999", "2147483647"},
      {"2147473647-2147483647", 10001, "2147483646", "2147483647"},
  };
  std::vector<std::string> list;
  for (const auto& c : cases) {
    ExpandNumberList(c.text, list);
    ASSERT_EQ(list.size(), c.size) << c.text;
    EXPECT_EQ(list[9999], c.at_9999) << c.text;
    EXPECT_EQ(list.back(), c.back) << c.text;
  }
  EXPECT_EQ(ExpandedListText("-2147483648-2147483647"), "");  // an empty first part
}

// Many long ranges stop at the list's bound; the smallest and largest values left out still
// follow, so a schedule built from the list keeps its extremes. Before the bound, a stored line
// of a thousand "0-99999" items took a gigabyte, and a hundred thousand of them all memory.
TEST(ExpandNumberList, StopsAManyRangeListAtItsBoundKeepingTheExtremesLeftOut) {
  std::string text;
  for (int i = 0; i < 3; ++i) text += "7-30000,";
  text += "3,40000";
  std::vector<std::string> list;
  ExpandNumberList(text, list);
  ASSERT_EQ(list.size(), kMaxNumberListValues + 2);
  EXPECT_EQ(list[0], "7");
  EXPECT_EQ(list[kMaxNumberListValues - 1], "10005");  // 10,001 values, then 9,999 of the next
  EXPECT_EQ(list[kMaxNumberListValues], "3");
  EXPECT_EQ(list.back(), "40000");

  std::string huge;
  for (int i = 0; i < 100000; ++i) huge += "0-2000000000,";
  ExpandNumberList(huge, list);
  ASSERT_EQ(list.size(), kMaxNumberListValues + 2);
  EXPECT_EQ(list[kMaxNumberListValues], "0");
  EXPECT_EQ(list.back(), "2000000000");


  std::string repeated;
  for (size_t i = 0; i < 2 * kMaxNumberListValues; ++i) repeated += "5,";
  ExpandNumberList(repeated, list);
  EXPECT_EQ(list.size(), kMaxNumberListValues + 1);  // one value left out: listed once
}

TEST(ExpandNumberList, SurvivesNumbersAtTheEdgesOfTheRange) {
  EXPECT_EQ(ExpandedListText("2147483647"), "2147483647");
  EXPECT_EQ(ExpandedListText("2147483646-2147483647"), "2147483646,2147483647");
  EXPECT_EQ(ExpandedListText("2147483648"), "");
}

}  // namespace
}  // namespace chronel
