#include "fake_host_list.h"

#include <algorithm>
#include <utility>

namespace chronel::plugin::test {
namespace {

FakeHostCalls calls;
const TkivParamsList* watchedList = nullptr;

TkivParamsList& AsList(void* self) { return *static_cast<TkivParamsList*>(self); }

// Grows by two with this program's allocator, unlike the library's own lists.
void CHRONEL_PASCAL_METHOD HostGrow(void* self) {
  ++calls.Grow;
  TkivParamsList& list = AsList(self);
  auto* items = new TkivParamsListItem*[list.Capacity + 2]();
  std::copy_n(list.Items, list.Count, items);
  delete[] std::exchange(list.Items, items);
  list.Capacity += 2;
}

void CHRONEL_PASCAL_METHOD HostNotify(void*, void*, uint8_t) { ++calls.Notify; }

void CHRONEL_PASCAL_METHOD HostClear(void* self) {
  ++calls.Clear;
  TkivParamsList& list = AsList(self);
  for (int32_t i = 0; i < list.Count; ++i) CallDestroy(std::exchange(list.Items[i], nullptr));
  delete[] std::exchange(list.Items, nullptr);
  list.Count = 0;
  list.Capacity = 0;
}

void CHRONEL_PASCAL_METHOD HostDestroyList(void* self, uint8_t) {
  AsList(self).Magic = 0;
  HostClear(self);
  delete static_cast<TkivParamsList*>(self);
}

bool SlotEmptied(const TkivParamsList& list, const void* item) {
  return std::find(list.Items, list.Items + list.Count, item) == list.Items + list.Count;
}

void CHRONEL_PASCAL_METHOD HostDestroyItem(void* self, uint8_t) {
  ++calls.ItemsDestroyed;
  if (watchedList) {
    calls.MagicSeenByItem = watchedList->Magic;
    calls.ItemSlotEmptied = SlotEmptied(*watchedList, self);
  }
  delete static_cast<TkivParamsListItem*>(self);
}

template <typename Function>
uintptr_t Address(Function function) {
  return reinterpret_cast<uintptr_t>(function);
}

}  // namespace

FakeHostCalls& HostCalls() { return calls; }
void ResetHostCalls() {
  calls = FakeHostCalls();
  watchedList = nullptr;
}
void WatchListFromHostItems(const TkivParamsList* list) { watchedList = list; }

FakeHostClass::FakeHostClass(TClassTableLayout layout, Kind kind) {
  const TClassTableSlotIndexes& slots =
      layout == TClassTableLayout::Older ? kOlderSlotIndexes : kNewerSlotIndexes;
  const std::string_view name = kind == Kind::List ? "TkivParamsList" : "TkivParamsListItem";
  className_[0] = static_cast<uint8_t>(name.size());
  std::copy(name.begin(), name.end(), className_.begin() + 1);
  Put(slots.SelfPtr, reinterpret_cast<uintptr_t>(Table()));
  Put(slots.ClassName, reinterpret_cast<uintptr_t>(className_.data()));
  if (kind == Kind::Item) {
    Put(slots.InstanceSize, sizeof(TkivParamsListItem));
    Put(kDestroySlot, Address(HostDestroyItem));
    return;
  }
  Put(slots.InstanceSize, sizeof(TkivParamsList));
  Put(kDestroySlot, Address(HostDestroyList));
  Put(kGrowSlot, Address(HostGrow));
  Put(kNotifySlot, Address(HostNotify));
  Put(kClearSlot, Address(HostClear));
}

TkivParamsList* NewHostList(const FakeHostClass& listClass) {
  auto* list = new TkivParamsList{};
  list->ClassTable = listClass.Table();
  list->Magic = kParamsListMagic;
  return list;
}

TkivParamsListItem* NewHostItem(const FakeHostClass& itemClass, char* name, char* lowerName,
                                const platform::TVarData& value) {
  auto* item = new TkivParamsListItem{};
  item->ClassTable = itemClass.Table();
  item->Name = name;
  item->LowerName = lowerName;
  item->State = kItemHasValue;
  item->Value = value;
  return item;
}

void HostAppend(TkivParamsList& list, TkivParamsListItem* item) {
  if (list.Count == list.Capacity) (void)CallGrow(&list);
  list.Items[list.Count++] = item;
}

}  // namespace chronel::plugin::test
