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

// Many long ranges stop at the list's bound. Of the values left out, those that a task's list
// can match follow in order, then the smallest and largest of the rest, so a schedule built
// from the list keeps its matches and its extremes. Before the bound, a stored line of a
// thousand "0-99999" items took a gigabyte, and a hundred thousand of them all memory.
TEST(ExpandNumberList, StopsAManyRangeListAtItsBoundKeepingWhatCanStillMatter) {
  const auto repeated = [](const std::string& item, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += item + ",";
    return text;
  };
  // The values from `first` up to the largest a task's list can match, then `more`.
  const auto small_from = [](int first, std::vector<std::string> more) {
    std::vector<std::string> values;
    for (int value = first; value <= kLargestTaskListValue; ++value) {
      values.push_back(std::to_string(value));
    }
    values.insert(values.end(), more.begin(), more.end());
    return values;
  };
  std::vector<std::string> three_then_from_7 = small_from(7, {"33", "40000"});
  three_then_from_7.insert(three_then_from_7.begin(), "3");
  const struct {
    std::string text;
    std::vector<std::string> left_out;  // what follows the first kMaxNumberListValues values
  } cases[] = {
      {repeated("7-30000", 3) + "3,40000", three_then_from_7},
      {repeated("100-20000", 2) + "15,32", {"15", "32", "10099", "20000"}},
      {repeated("0-2000000000", 100000), small_from(0, {"33", "2000000000"})},
      {repeated("5", 2 * kMaxNumberListValues), {"5"}},
  };
  std::vector<std::string> list;
  for (const auto& c : cases) {
    ExpandNumberList(c.text, list);
    ASSERT_EQ(list.size(), kMaxNumberListValues + c.left_out.size()) << c.text.substr(0, 40);
    EXPECT_EQ(std::vector<std::string>(list.begin() + kMaxNumberListValues, list.end()),
              c.left_out)
        << c.text.substr(0, 40);
  }
}

TEST(ExpandNumberList, SurvivesNumbersAtTheEdgesOfTheRange) {
  EXPECT_EQ(ExpandedListText("2147483647"), "2147483647");
  EXPECT_EQ(ExpandedListText("2147483646-2147483647"), "2147483646,2147483647");
  EXPECT_EQ(ExpandedListText("2147483648"), "");
}

}  // namespace
}  // namespace chronel
