#include "plugin/params_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/guid.h"
#include "fake_host_list.h"

namespace chronel::plugin {
namespace {

using platform::Variant;
using test::ConstantText;
using test::FakeHostClass;
using test::HostCalls;

using OwnedList = std::unique_ptr<TkivParamsList, decltype(&FreeParamsList)>;
OwnedList OwnList() { return OwnedList(NewParamsList(), FreeParamsList); }

class ParamsListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetClassTableLayoutForTesting();
    test::ResetHostCalls();
  }
  void TearDown() override { ResetClassTableLayoutForTesting(); }
};

void AddNames(TkivParamsList& list, std::initializer_list<std::string_view> names) {
  for (const std::string_view name : names) AddValue(list, name, Variant::Null());
}

TEST_F(ParamsListTest, NewListIsAliveWithAFreshIdentifier) {
  const OwnedList first = OwnList();
  const OwnedList second = OwnList();
  EXPECT_EQ(first->Magic, kParamsListMagic);
  EXPECT_EQ(first->Reserved24, 0u);
  EXPECT_EQ(first->Count, 0);
  const std::string_view id = PascalStringView(first->ListID);
  EXPECT_EQ(id.size(), 38u);
  EXPECT_TRUE(StringToGuid(id).has_value());
  EXPECT_NE(id, PascalStringView(second->ListID));
  EXPECT_EQ(ClassNameOf(*first), "TkivParamsList");

  TkivRowsParamsList* rows = NewRowsParamsList();
  EXPECT_EQ(ClassNameOf(*rows), "TkivRowsParamsList");
  EXPECT_TRUE(IsAlive(rows));
  FreeParamsList(rows);
}

TEST_F(ParamsListTest, VirtualConstructorBuildsTheClassItIsCalledOn) {
  const void* rowsClass = OwnClassTable(TOwnClass::RowsParamsList, TClassTableLayout::Newer);
  auto* list = static_cast<TkivParamsList*>(CallCreate(rowsClass));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ClassTable, rowsClass);
  EXPECT_TRUE(IsAlive(list));
  EXPECT_EQ(PascalStringView(list->ListID).size(), 38u);
  FreeParamsList(list);
}

TEST_F(ParamsListTest, NamesAreFoundWhateverTheirCase) {
  const OwnedList list = OwnList();
  AddValue(*list, "COMMAND", Variant("LOAD"));
  AddValue(*list, "result", Variant(int32_t{1}));
  AddValue(*list, "MessagesProcessorHandle", Variant(int32_t{7}));
  EXPECT_EQ(GetValue(*list, "command").ToText(), "LOAD");
  EXPECT_EQ(GetValue(*list, "Command").ToText(), "LOAD");
  EXPECT_EQ(GetValue(*list, "RESULT").ToInt32(), 1);
  EXPECT_EQ(GetValue(*list, "messagesprocessorhandle").ToInt32(), 7);
  EXPECT_TRUE(GetValue(*list, "COMMANDS").IsEmpty());
  EXPECT_EQ(PascalStringView(ItemAt(*list, 0)->LowerName), "command");
  EXPECT_EQ(ItemName(*ItemAt(*list, 0)), "COMMAND");
}

TEST_F(ParamsListTest, SearchRangeAndRowBoundary) {
  const OwnedList list = OwnList();
  AddNames(*list, {"A", "B", kNewRowName, "A"});
  struct Case {
    std::string_view name;
    int32_t start, end, expected;
  };
  const Case cases[] = {
      {"A", 1, -2, -1},  // the row ends at the separator
      {"A", 1, -1, 3},   {"A", 0, -2, 0},  {"A", 3, -2, 3},  {"A", -5, -1, 0},
      {"A", 1, 100, 3},  {"B", 0, 0, -1},  {"B", 0, 1, 1},   {"A", 4, -1, -1},
      {"$new_row$", 0, -2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.start) + ".." +
                 std::to_string(c.end));
    EXPECT_EQ(IndexOfName(*list, c.name, c.start, c.end), c.expected);
  }
  EXPECT_EQ(FindItem(*list, "a", 1, -1), ItemAt(*list, 3));
  EXPECT_EQ(FindItem(*list, "C"), nullptr);
}

TEST_F(ParamsListTest, LookupOnADeadListIsAnAssertionFailure) {
  const OwnedList list = OwnList();
  EXPECT_EQ(FindItem(*list, "A"), nullptr);  // an empty list answers before the check
  AddNames(*list, {"A"});
  list->Magic = 0;
  try {
    IndexOfName(*list, "A");
    FAIL() << "no error raised";
  } catch (const EParamsListError& error) {
    EXPECT_STREQ(error.what(), "Assertion failure");
  }
  EXPECT_THROW(GetValue(*list, "A"), EParamsListError);
  list->Magic = kParamsListMagic;
}

TEST_F(ParamsListTest, BlankNamesAddNothingAndNamesAreKeptUntrimmed) {
  const OwnedList list = OwnList();
  EXPECT_EQ(AddValue(*list, "   ", Variant(int32_t{1})), nullptr);
  EXPECT_EQ(AddValue(*list, "\t\x01 ", Variant(int32_t{1})), nullptr);
  EXPECT_EQ(AddValue(*list, "", Variant(int32_t{1})), nullptr);
  EXPECT_EQ(list->Count, 0);

  TkivParamsListItem* item = AddValue(*list, " X ", Variant(int32_t{1}));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(ItemName(*item), " X ");
  EXPECT_EQ(FindItem(*list, "X"), nullptr);
  EXPECT_EQ(FindItem(*list, " x "), item);
}

TEST_F(ParamsListTest, AddedItemsHoldTheirValueAndState) {
  const OwnedList list = OwnList();
  TkivParamsListItem* text = AddValue(*list, "Text", Variant("wert"));
  TkivParamsListItem* empty = AddValue(*list, "Empty", Variant());
  NewRow(*list);
  EXPECT_EQ(text->Value.VType, platform::kVarOleStr);
  EXPECT_EQ(text->State, kItemHasValue);
  EXPECT_EQ(empty->State, kItemHasValue);  // every added item counts as having a value
  const TkivParamsListItem* separator = ItemAt(*list, 2);
  EXPECT_EQ(ItemName(*separator), kNewRowName);
  EXPECT_EQ(separator->Value.VType, platform::kVarNull);

  EXPECT_EQ(GivenValue(*list, "text")->ToText(), "wert");
  EXPECT_EQ(GivenValue(*list, "Empty"), std::nullopt);
  EXPECT_EQ(GivenValue(*list, kNewRowName), std::nullopt);
  EXPECT_EQ(GivenValue(*list, "absent"), std::nullopt);
  EXPECT_EQ(ItemAt(*list, 3), nullptr);
  EXPECT_EQ(ItemAt(*list, -1), nullptr);
}

TEST_F(ParamsListTest, SetValueReplacesOrCreatesOnlyWhenAsked) {
  const OwnedList list = OwnList();
  AddValue(*list, "COMMAND", Variant("ITEMS"));
  EXPECT_EQ(SetValue(*list, "RESULT", Variant("x"), false), nullptr);
  EXPECT_EQ(list->Count, 1);
  EXPECT_EQ(GetValue(*list, "COMMAND").ToText(), "ITEMS");

  TkivParamsListItem* created = SetValue(*list, "RESULT", Variant("x"), true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(list->Count, 2);
  EXPECT_EQ(GetValue(*list, "result").ToText(), "x");

  EXPECT_EQ(SetValue(*list, "result", Variant(int32_t{5}), false), created);
  EXPECT_EQ(list->Count, 2);
  EXPECT_EQ(created->Value.VType, platform::kVarInteger);
  EXPECT_EQ(SetValue(*list, "  ", Variant(int32_t{5}), true), nullptr);
}

TEST_F(ParamsListTest, GrowsLikeTheGrowableListAndClears) {
  const OwnedList list = OwnList();
  std::vector<int32_t> capacities;
  for (int32_t i = 0; i < 1000; ++i) {
    AddValue(*list, "N" + std::to_string(i), Variant(i));
    if (capacities.empty() || capacities.back() != list->Capacity) {
      capacities.push_back(list->Capacity);
    }
  }
  const std::vector<int32_t> firstSteps(capacities.begin(), capacities.begin() + 9);
  EXPECT_EQ(firstSteps, (std::vector<int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  EXPECT_EQ(list->Count, 1000);
  EXPECT_EQ(GetValue(*list, "n999").ToInt32(), 999);
  EXPECT_EQ(IndexOfName(*list, "N500"), 500);

  ClearList(*list);
  EXPECT_EQ(list->Count, 0);
  EXPECT_EQ(list->Capacity, 0);
  EXPECT_EQ(list->Items, nullptr);
  EXPECT_TRUE(IsAlive(list.get()));
  AddNames(*list, {"again"});
  EXPECT_EQ(list->Count, 1);
}

TEST_F(ParamsListTest, OurListFreesHostItemsThroughTheirOwnTable) {
  const FakeHostClass hostItemClass(TClassTableLayout::Older, FakeHostClass::Kind::Item);
  ConstantText name("HostName");
  ConstantText lowerName("hostname");
  ConstantText text("from host");
  platform::TVarData hostText;
  hostText.VType = platform::kVarString;
  hostText.VString = text.Get();

  TkivParamsList* list = NewParamsList();
  AddValue(*list, "Ours", Variant(int32_t{1}));
  test::HostAppend(*list, test::NewHostItem(hostItemClass, name.Get(), lowerName.Get(), hostText));
  const Variant read = GetValue(*list, "HOSTNAME");
  EXPECT_EQ(read.Type(), platform::kVarOleStr);
  EXPECT_EQ(read.ToText(), "from host");

  test::WatchListFromHostItems(list);
  FreeParamsList(list);
  EXPECT_EQ(HostCalls().ItemsDestroyed, 1);
  EXPECT_EQ(HostCalls().MagicSeenByItem, 0u);  // destruction had begun
  EXPECT_TRUE(HostCalls().ItemSlotEmptied);
}

class HostListTest : public ParamsListTest,
                     public ::testing::WithParamInterface<TClassTableLayout> {};

TEST_P(HostListTest, HostListIsGrownClearedAndFreedByTheHost) {
  const FakeHostClass hostClass(GetParam(), FakeHostClass::Kind::List);
  TkivParamsList* hostList = test::NewHostList(hostClass);
  EXPECT_EQ(ClassNameOf(*hostList), "TkivParamsList");

  for (int32_t i = 0; i < 5; ++i) AddValue(*hostList, "V" + std::to_string(i), Variant(i));
  EXPECT_EQ(HostCalls().Grow, 3);  // the host grows by two
  EXPECT_EQ(HostCalls().Notify, 5);
  EXPECT_EQ(hostList->Count, 5);
  EXPECT_EQ(GetValue(*hostList, "v4").ToInt32(), 4);
  EXPECT_TRUE(IsOwnClassTable(ItemAt(*hostList, 0)->ClassTable));

  ClearList(*hostList);
  EXPECT_EQ(HostCalls().Clear, 1);
  EXPECT_EQ(hostList->Count, 0);
  FreeParamsList(hostList);  // not ours: left alone
  EXPECT_TRUE(IsAlive(hostList));

  NewRow(*hostList);
  EXPECT_TRUE(CallDestroy(hostList));  // the host frees its list, and our item with it
  EXPECT_EQ(HostCalls().Clear, 2);
}

TEST_P(HostListTest, NewObjectsFollowTheAdoptedLayout) {
  const FakeHostClass hostClass(GetParam(), FakeHostClass::Kind::List);
  TkivParamsList* hostList = test::NewHostList(hostClass);
  AdoptHostLayout(hostList->ClassTable);

  TkivParamsListItem* item = AddValue(*hostList, "EVENT-TYPE", Variant("TICK"));
  EXPECT_EQ(DetectClassTableLayout(item->ClassTable), GetParam());
  TkivRowsParamsList* rows = NewRowsParamsList();
  EXPECT_EQ(DetectClassTableLayout(rows->ClassTable), GetParam());
  EXPECT_EQ(ClassNameOf(*rows), "TkivRowsParamsList");
  NewRow(*rows);
  EXPECT_EQ(DetectClassTableLayout(ItemAt(*rows, 0)->ClassTable), GetParam());

  FreeParamsList(rows);
  CallDestroy(hostList);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, HostListTest,
                         ::testing::Values(TClassTableLayout::Older, TClassTableLayout::Newer),
                         [](const auto& info) {
                           return info.param == TClassTableLayout::Older ? "Older" : "Newer";
                         });

TEST_F(ParamsListTest, ListOfUnknownClassIsNeitherGrownNorCleared) {
  std::array<uintptr_t, 64> garbage;
  garbage.fill(0x5A5A5A5A);
  TkivParamsList list{};
  list.ClassTable = &garbage[32];
  list.Magic = kParamsListMagic;
  EXPECT_EQ(ClassNameOf(list), "");
  EXPECT_THROW(AddValue(list, "A", Variant(int32_t{1})), EParamsListError);
  EXPECT_THROW(ClearList(list), EParamsListError);
  EXPECT_EQ(list.Count, 0);
  FreeParamsList(&list);  // refused, not freed
}

}  // namespace
}  // namespace chronel::plugin
