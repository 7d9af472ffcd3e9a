#include "plugin/class_table.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "plugin/params_list.h"

namespace chronel::plugin {
namespace {

// Root-class slots this module gives no behaviour of its own (SafeCallException,
// AfterConstruction, BeforeDestruction, Dispatch, DefaultHandler, and in the newer layout
// Equals, GetHashCode, ToString). They answer 0 instead of being null, so a host that calls one
// finds a harmless method: each takes at most three register arguments and none on the stack.
using TInertSlot = intptr_t(CHRONEL_PASCAL_METHOD*)(void* self);

intptr_t CHRONEL_PASCAL_METHOD DoNothing(void*) { return 0; }

// The growable list's notification does nothing for these classes.
void CHRONEL_PASCAL_METHOD IgnoreNotification(void*, void*, uint8_t) {}

// An error report cannot unwind into the host through this module's frames, and the host only
// reports through its own list code, so a report reaching our table is ignored.
void CHRONEL_PASCAL_METHOD IgnoreListError(const void*, const void*, intptr_t) {}

void* CHRONEL_PASCAL_METHOD AllocateInstance(const void* classTable) {
  const std::optional<size_t> size = InstanceSizeOfTable(classTable);
  if (!size || *size < sizeof(void*)) return nullptr;
  void* object = std::calloc(1, *size);
  if (object) std::memcpy(object, &classTable, sizeof(classTable));
  return object;
}

void CHRONEL_PASCAL_METHOD FreeInstanceMemory(void* self) { std::free(self); }

// A class table image: everything from SelfPtr up to the last list slot. `kRootSlots` counts the
// root-class method slots between Parent and NewInstance (5 older, 8 newer).
template <size_t kRootSlots>
struct TClassTableImage {
  const void* SelfPtr;
  std::array<const void*, 7> Metadata;  // interface, automation, init, type info, field,
                                        // method and dynamic tables: none
  const uint8_t* ClassName;
  uintptr_t InstanceSize;
  const void* const* Parent;
  std::array<TInertSlot, kRootSlots> RootMethods;
  TNewInstanceSlot NewInstance;
  TFreeInstanceSlot FreeInstance;
  TDestroySlot Destroy;
  // The table address; the item class leaves these null.
  TGrowSlot Grow;
  TNotifySlot Notify;
  TClearSlot Clear;
  TErrorSlot Error;
  TCreateSlot Create;
};
using TOlderImage = TClassTableImage<5>;
using TNewerImage = TClassTableImage<8>;

template <typename Image>
constexpr ptrdiff_t SlotIndex(size_t fieldOffset) {
  return (static_cast<ptrdiff_t>(fieldOffset) - static_cast<ptrdiff_t>(offsetof(Image, Grow))) /
         static_cast<ptrdiff_t>(sizeof(void*));
}

template <typename Image>
constexpr bool MatchesSlotIndexes(const TClassTableSlotIndexes& slots) {
  return SlotIndex<Image>(offsetof(Image, SelfPtr)) == slots.SelfPtr &&
         SlotIndex<Image>(offsetof(Image, ClassName)) == slots.ClassName &&
         SlotIndex<Image>(offsetof(Image, InstanceSize)) == slots.InstanceSize &&
         SlotIndex<Image>(offsetof(Image, Parent)) == slots.Parent &&
         SlotIndex<Image>(offsetof(Image, NewInstance)) == kNewInstanceSlot &&
         SlotIndex<Image>(offsetof(Image, FreeInstance)) == kFreeInstanceSlot &&
         SlotIndex<Image>(offsetof(Image, Destroy)) == kDestroySlot &&
         SlotIndex<Image>(offsetof(Image, Notify)) == kNotifySlot &&
         SlotIndex<Image>(offsetof(Image, Clear)) == kClearSlot &&
         SlotIndex<Image>(offsetof(Image, Error)) == kErrorSlot &&
         SlotIndex<Image>(offsetof(Image, Create)) == kCreateSlot &&
         sizeof(Image) == offsetof(Image, Create) + sizeof(void*);
}
static_assert(MatchesSlotIndexes<TOlderImage>(kOlderSlotIndexes));
static_assert(MatchesSlotIndexes<TNewerImage>(kNewerSlotIndexes));
#if UINTPTR_MAX == 0xFFFFFFFF
static_assert(kOlderSlotIndexes.SelfPtr * 4 == -76 && kOlderSlotIndexes.ClassName * 4 == -44 &&
              kOlderSlotIndexes.InstanceSize * 4 == -40 && kOlderSlotIndexes.Parent * 4 == -36);
static_assert(kNewerSlotIndexes.SelfPtr * 4 == -88 && kNewerSlotIndexes.ClassName * 4 == -56 &&
              kNewerSlotIndexes.InstanceSize * 4 == -52 && kNewerSlotIndexes.Parent * 4 == -48);
static_assert(kFreeInstanceSlot * 4 == -8 && kDestroySlot * 4 == -4 && kCreateSlot * 4 == 16);
#else
static_assert(kOlderSlotIndexes.SelfPtr * 8 == -152 && kNewerSlotIndexes.SelfPtr * 8 == -176);
static_assert(kOlderSlotIndexes.ClassName * 8 == -88 && kNewerSlotIndexes.ClassName * 8 == -112);
static_assert(kFreeInstanceSlot * 8 == -16 && kDestroySlot * 8 == -8 && kCreateSlot * 8 == 32);
#endif

// A class name as the tables hold it: a length byte, then the characters.
template <size_t N>
constexpr std::array<uint8_t, N> ShortString(const char (&text)[N]) {
  static_assert(N - 1 <= 255);
  std::array<uint8_t, N> result{};
  result[0] = static_cast<uint8_t>(N - 1);
  for (size_t i = 0; i + 1 < N; ++i) result[i + 1] = static_cast<uint8_t>(text[i]);
  return result;
}
constexpr auto kItemClassName = ShortString("TkivParamsListItem");
constexpr auto kListClassName = ShortString("TkivParamsList");
constexpr auto kRowsListClassName = ShortString("TkivRowsParamsList");

template <typename Image>
constexpr Image ItemTable(const Image& self) {
  Image table{};
  table.SelfPtr = &self.Grow;
  table.ClassName = kItemClassName.data();
  table.InstanceSize = sizeof(TkivParamsListItem);
  table.RootMethods.fill(DoNothing);
  table.NewInstance = AllocateInstance;
  table.FreeInstance = FreeInstanceMemory;
  table.Destroy = own_slots::DestroyParamsListItem;
  return table;
}

// TkivParamsList's parent is the root list class, of which this module has no table: its Parent
// is null, as the root class's is.
template <typename Image>
constexpr Image ListTable(const Image& self, const uint8_t* className, size_t instanceSize,
                          const void* const* parent) {
  Image table = ItemTable(self);
  table.ClassName = className;
  table.InstanceSize = instanceSize;
  table.Parent = parent;
  table.Destroy = own_slots::DestroyParamsList;
  table.Grow = own_slots::GrowParamsList;
  table.Notify = IgnoreNotification;
  table.Clear = own_slots::ClearParamsList;
  table.Error = IgnoreListError;
  table.Create = own_slots::CreateParamsList;
  return table;
}

constinit const TOlderImage kOlderItem = ItemTable(kOlderItem);
constinit const TOlderImage kOlderList =
    ListTable(kOlderList, kListClassName.data(), sizeof(TkivParamsList), nullptr);
constinit const void* const kOlderListReference = &kOlderList.Grow;
constinit const TOlderImage kOlderRowsList = ListTable(
    kOlderRowsList, kRowsListClassName.data(), sizeof(TkivRowsParamsList), &kOlderListReference);

constinit const TNewerImage kNewerItem = ItemTable(kNewerItem);
constinit const TNewerImage kNewerList =
    ListTable(kNewerList, kListClassName.data(), sizeof(TkivParamsList), nullptr);
constinit const void* const kNewerListReference = &kNewerList.Grow;
constinit const TNewerImage kNewerRowsList = ListTable(
    kNewerRowsList, kRowsListClassName.data(), sizeof(TkivRowsParamsList), &kNewerListReference);

constexpr std::array<const void*, 6> kOwnTables = {
    &kOlderItem.Grow, &kOlderList.Grow, &kOlderRowsList.Grow,
    &kNewerItem.Grow, &kNewerList.Grow, &kNewerRowsList.Grow};

std::atomic<TClassTableLayout> currentLayout{TClassTableLayout::Older};
std::atomic<bool> hostLayoutAdopted{false};

// Reads one pointer-sized slot; memcpy because a table from elsewhere need not be aligned.
template <typename T>
T ReadSlot(const void* table, int index) {
  static_assert(sizeof(T) == sizeof(void*));
  const uintptr_t address = reinterpret_cast<uintptr_t>(table) +
                            static_cast<uintptr_t>(static_cast<intptr_t>(index) *
                                                   static_cast<intptr_t>(sizeof(void*)));
  T value;
  std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof(value));
  return value;
}

bool HoldsOwnAddress(const void* table, int selfPtrIndex) {
  return ReadSlot<const void*>(table, selfPtrIndex) == table;
}

const TClassTableSlotIndexes* SlotIndexesOf(const void* table) {
  const std::optional<TClassTableLayout> layout = DetectClassTableLayout(table);
  if (!layout) return nullptr;
  switch (*layout) {
    case TClassTableLayout::Older: return &kOlderSlotIndexes;
    case TClassTableLayout::Newer: return &kNewerSlotIndexes;
  }
  return nullptr;
}

const void* TableOf(const void* object) {
  const void* table = nullptr;
  std::memcpy(&table, object, sizeof(table));
  return table;
}

// The slot of the object's own table, or null when the object or its table is not recognised.
template <typename Slot>
Slot FindSlot(const void* object, int index) {
  if (!object) return nullptr;
  const void* table = TableOf(object);
  if (!DetectClassTableLayout(table)) return nullptr;
  return ReadSlot<Slot>(table, index);
}

}  // namespace

std::optional<TClassTableLayout> DetectClassTableLayout(const void* table) {
  // Below this address the lowest slot would wrap around.
  const uintptr_t lowestTable = static_cast<uintptr_t>(-kNewerSlotIndexes.SelfPtr) * sizeof(void*);
  if (reinterpret_cast<uintptr_t>(table) < lowestTable) return std::nullopt;
  if (HoldsOwnAddress(table, kOlderSlotIndexes.SelfPtr)) return TClassTableLayout::Older;
  if (HoldsOwnAddress(table, kNewerSlotIndexes.SelfPtr)) return TClassTableLayout::Newer;
  return std::nullopt;
}

void UseClassTableLayout(TClassTableLayout layout) { currentLayout.store(layout); }

TClassTableLayout CurrentClassTableLayout() { return currentLayout.load(); }

void AdoptHostLayout(const void* hostTable) {
  const std::optional<TClassTableLayout> layout = DetectClassTableLayout(hostTable);
  if (!layout) return;
  bool adopted = false;
  if (!hostLayoutAdopted.compare_exchange_strong(adopted, true)) return;
  UseClassTableLayout(*layout);
}

void ResetClassTableLayoutForTesting() {
  hostLayoutAdopted.store(false);
  UseClassTableLayout(TClassTableLayout::Older);
}

const void* OwnClassTable(TOwnClass ownClass, TClassTableLayout layout) {
  const size_t layoutBase = layout == TClassTableLayout::Older ? 0 : 3;
  switch (ownClass) {
    case TOwnClass::ParamsListItem: return kOwnTables[layoutBase];
    case TOwnClass::ParamsList: return kOwnTables[layoutBase + 1];
    case TOwnClass::RowsParamsList: return kOwnTables[layoutBase + 2];
  }
  return nullptr;
}

bool IsOwnClassTable(const void* table) {
  for (const void* own : kOwnTables) {
    if (own == table) return true;
  }
  return false;
}

std::string_view ClassNameOfTable(const void* table) {
  const TClassTableSlotIndexes* slots = SlotIndexesOf(table);
  if (!slots) return {};
  const auto* name = ReadSlot<const uint8_t*>(table, slots->ClassName);
  if (!name) return {};
  return std::string_view(reinterpret_cast<const char*>(name + 1), name[0]);
}

std::optional<size_t> InstanceSizeOfTable(const void* table) {
  const TClassTableSlotIndexes* slots = SlotIndexesOf(table);
  if (!slots) return std::nullopt;
  return ReadSlot<uintptr_t>(table, slots->InstanceSize);
}

bool CallGrow(void* list) {
  const TGrowSlot grow = FindSlot<TGrowSlot>(list, kGrowSlot);
  if (!grow) return false;
  grow(list);
  return true;
}

bool CallNotify(void* list, void* item, TListNotification action) {
  const TNotifySlot notify = FindSlot<TNotifySlot>(list, kNotifySlot);
  if (!notify) return false;
  notify(list, item, action);
  return true;
}

bool CallClear(void* list) {
  const TClearSlot clear = FindSlot<TClearSlot>(list, kClearSlot);
  if (!clear) return false;
  clear(list);
  return true;
}

bool CallDestroy(void* object) {
  const TDestroySlot destroy = FindSlot<TDestroySlot>(object, kDestroySlot);
  if (!destroy) return false;
  destroy(object, 1);
  return true;
}

void* CallCreate(const void* classTable) {
  if (!DetectClassTableLayout(classTable)) return nullptr;
  const auto create = ReadSlot<TCreateSlot>(classTable, kCreateSlot);
  return create ? create(classTable, 1) : nullptr;
}

void* CallNewInstance(const void* classTable) {
  if (!DetectClassTableLayout(classTable)) return nullptr;
  const auto newInstance = ReadSlot<TNewInstanceSlot>(classTable, kNewInstanceSlot);
  return newInstance ? newInstance(classTable) : nullptr;
}

void CallFreeInstance(void* object) {
  const TFreeInstanceSlot freeInstance = FindSlot<TFreeInstanceSlot>(object, kFreeInstanceSlot);
  if (freeInstance) freeInstance(object);
}

}  // namespace chronel::plugin
