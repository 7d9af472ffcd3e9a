#include "plugin/class_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "fake_host_list.h"

namespace chronel::plugin {
namespace {

using test::FakeHostClass;

class ClassTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetClassTableLayoutForTesting(); }
  void TearDown() override { ResetClassTableLayoutForTesting(); }
};

const TClassTableSlotIndexes& SlotIndexes(TClassTableLayout layout) {
  return layout == TClassTableLayout::Older ? kOlderSlotIndexes : kNewerSlotIndexes;
}

const void* ReadSlot(const void* table, int index) {
  const void* value;
  std::memcpy(&value, static_cast<const char*>(table) + index * static_cast<int>(sizeof(void*)),
              sizeof(value));
  return value;
}

// A readable table of nothing: what a wrong pointer from the host may lead to.
struct GarbageTable {
  GarbageTable() { words.fill(static_cast<uintptr_t>(0xA5A5A5A5A5A5A5A5ull)); }
  const void* Table() const { return &words[32]; }
  std::array<uintptr_t, 64> words;
};

TEST_F(ClassTableTest, OwnTablesCarryNameSizeAndParentInBothLayouts) {
  struct Case {
    TOwnClass ownClass;
    std::string_view name;
    size_t instanceSize;
    std::string_view parentName;
  };
  const Case cases[] = {
      {TOwnClass::ParamsListItem, "TkivParamsListItem", sizeof(TkivParamsListItem), ""},
      {TOwnClass::ParamsList, "TkivParamsList", sizeof(TkivParamsList), ""},
      {TOwnClass::RowsParamsList, "TkivRowsParamsList", sizeof(TkivRowsParamsList),
       "TkivParamsList"},
  };
  for (const TClassTableLayout layout : {TClassTableLayout::Older, TClassTableLayout::Newer}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (layout == TClassTableLayout::Older ? " older" : " newer"));
      const void* table = OwnClassTable(c.ownClass, layout);
      EXPECT_EQ(DetectClassTableLayout(table), layout);
      EXPECT_TRUE(IsOwnClassTable(table));
      EXPECT_EQ(ClassNameOfTable(table), c.name);
      EXPECT_EQ(InstanceSizeOfTable(table), c.instanceSize);
      const auto* parent = static_cast<const void* const*>(
          ReadSlot(table, SlotIndexes(layout).Parent));
      EXPECT_EQ(parent ? ClassNameOfTable(*parent) : "", c.parentName);
    }
  }
}

TEST_F(ClassTableTest, HostTablesAreReadInTheirOwnLayout) {
  for (const TClassTableLayout layout : {TClassTableLayout::Older, TClassTableLayout::Newer}) {
    const FakeHostClass hostList(layout, FakeHostClass::Kind::List);
    EXPECT_EQ(DetectClassTableLayout(hostList.Table()), layout);
    EXPECT_EQ(ClassNameOfTable(hostList.Table()), "TkivParamsList");
    EXPECT_EQ(InstanceSizeOfTable(hostList.Table()), sizeof(TkivParamsList));
    EXPECT_FALSE(IsOwnClassTable(hostList.Table()));
  }
}

TEST_F(ClassTableTest, ReadableGarbageIsRefusedWithoutFollowingIt) {
  const GarbageTable garbage;
  EXPECT_EQ(DetectClassTableLayout(garbage.Table()), std::nullopt);
  EXPECT_EQ(ClassNameOfTable(garbage.Table()), "");
  EXPECT_EQ(InstanceSizeOfTable(garbage.Table()), std::nullopt);
  EXPECT_EQ(CallCreate(garbage.Table()), nullptr);

  TkivParamsList object{};
  object.ClassTable = garbage.Table();
  EXPECT_FALSE(CallGrow(&object));
  EXPECT_FALSE(CallClear(&object));
  EXPECT_FALSE(CallDestroy(&object));

  EXPECT_EQ(DetectClassTableLayout(nullptr), std::nullopt);
  EXPECT_EQ(DetectClassTableLayout(reinterpret_cast<const void*>(uintptr_t{16})), std::nullopt);
  EXPECT_FALSE(CallDestroy(nullptr));
}

TEST_F(ClassTableTest, FirstRecognisedHostTableDecidesTheLayoutOnce) {
  EXPECT_EQ(CurrentClassTableLayout(), TClassTableLayout::Older);
  const GarbageTable garbage;
  const FakeHostClass newerHost(TClassTableLayout::Newer, FakeHostClass::Kind::List);
  const FakeHostClass olderHost(TClassTableLayout::Older, FakeHostClass::Kind::List);

  AdoptHostLayout(garbage.Table());
  AdoptHostLayout(newerHost.Table());
  EXPECT_EQ(CurrentClassTableLayout(), TClassTableLayout::Newer);
  AdoptHostLayout(olderHost.Table());
  EXPECT_EQ(CurrentClassTableLayout(), TClassTableLayout::Newer);

  UseClassTableLayout(TClassTableLayout::Older);
  EXPECT_EQ(CurrentClassTableLayout(), TClassTableLayout::Older);
}

}  // namespace
}  // namespace chronel::plugin
