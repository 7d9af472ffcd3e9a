#include "plugin/params_list.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "core/guid.h"
#include "platform/code_page.h"
#include "platform/guid_generator.h"
#include "platform/locale_services.h"
#include "plugin/pascal_string.h"

namespace chronel::plugin {
namespace {

using platform::Variant;

TkivParamsList& AsList(void* self) { return *static_cast<TkivParamsList*>(self); }

void SetCapacity(TkivParamsList& list, int32_t capacity) {
  if (capacity == 0) {
    std::free(std::exchange(list.Items, nullptr));
    list.Capacity = 0;
    return;
  }
  void* items = std::realloc(list.Items, static_cast<size_t>(capacity) * sizeof(*list.Items));
  if (!items) throw std::bad_alloc();
  list.Items = static_cast<TkivParamsListItem**>(items);
  list.Capacity = capacity;
}

int32_t GrowthStep(int32_t capacity) {
  if (capacity > 64) return capacity / 4;
  if (capacity > 8) return 16;
  return 4;
}

// Fills a freshly allocated (zeroed) list; raises before setting anything when no identifier
// can be made.
void InitParamsList(TkivParamsList& list) {
  list.ListID = NewPascalString(GuidToString(platform::CreateGuid()));
  list.Magic = kParamsListMagic;
  list.Reserved24 = 0;
}

TkivParamsList* NewOwnList(TOwnClass ownClass) {
  void* object = CallNewInstance(OwnClassTable(ownClass, CurrentClassTableLayout()));
  if (!object) throw std::bad_alloc();
  auto* list = static_cast<TkivParamsList*>(object);
  try {
    InitParamsList(*list);
  } catch (...) {
    CallFreeInstance(list);
    throw;
  }
  return list;
}

TkivParamsListItem* NewItem(std::string_view name, const Variant& value) {
  // Item names cross as 8-bit host text; the stored lower-case copy follows the locale's rules.
  const std::string storedName = platform::Utf8ToAnsi(name);
  const std::string lowerName = platform::Utf8ToAnsi(platform::LowerCaseLocale(name));
  void* object =
      CallNewInstance(OwnClassTable(TOwnClass::ParamsListItem, CurrentClassTableLayout()));
  if (!object) throw std::bad_alloc();
  auto* item = static_cast<TkivParamsListItem*>(object);
  new (&item->Value) platform::TVarData();
  // From here the item's own destructor undoes whatever was set.
  try {
    item->Name = NewPascalString(storedName);
    item->LowerName = NewPascalString(lowerName);
    platform::VariantCopyData(item->Value, value.Raw());
  } catch (...) {
    CallDestroy(item);
    throw;
  }
  item->State = value.IsEmptyOrNull() ? 0 : kItemHasValue;
  return item;
}

// Appends as the growable list does: grow through the list's own table when full, store, count,
// notify. Raises when the list cannot be grown; the item is then the caller's to free.
void Append(TkivParamsList& list, TkivParamsListItem* item) {
  if (list.Count >= list.Capacity && !CallGrow(&list)) {
    throw EParamsListError("Not a parameter list");
  }
  if (list.Count >= list.Capacity || !list.Items) throw EParamsListError("List capacity exceeded");
  list.Items[list.Count] = item;
  ++list.Count;
  (void)CallNotify(&list, item, lnAdded);
}

bool IsBlank(std::string_view name) {
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// The wanted name of a lookup: only A-Z are lowered, whatever the locale.
std::string LowerAsciiLetters(std::string_view name) {
  std::string lowered(name);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return lowered;
}

// A text value is emptied before the variant is cleared, as the host's own items do.
void ReleaseItemValue(platform::TVarData& value) {
  if (value.VType == platform::kVarOleStr) {
    platform::FreeOleString(std::exchange(value.VOleStr, nullptr));
  }
  platform::VariantClearData(value);
}

}  // namespace

namespace own_slots {

void CHRONEL_PASCAL_METHOD GrowParamsList(void* self) noexcept {
  TkivParamsList& list = AsList(self);
  SetCapacity(list, list.Capacity + GrowthStep(list.Capacity));
}

void CHRONEL_PASCAL_METHOD ClearParamsList(void* self) noexcept {
  TkivParamsList& list = AsList(self);
  // Each slot is emptied before its item is freed, so an item's destructor that looks at the
  // list never meets a freed item.
  for (int32_t i = 0; i < list.Count; ++i) {
    CallDestroy(std::exchange(list.Items[i], nullptr));
  }
  list.Count = 0;
  SetCapacity(list, 0);
}

void* CHRONEL_PASCAL_METHOD CreateParamsList(const void* classOrSelf, uint8_t allocate) noexcept {
  void* object = allocate ? CallNewInstance(classOrSelf) : const_cast<void*>(classOrSelf);
  if (!object) return nullptr;
  InitParamsList(AsList(object));
  return object;
}

void CHRONEL_PASCAL_METHOD DestroyParamsList(void* self, uint8_t outermost) noexcept {
  TkivParamsList& list = AsList(self);
  list.Magic = 0;
  (void)CallClear(&list);
  SetCapacity(list, 0);
  ReleasePascalString(std::exchange(list.ListID, nullptr));
  if (outermost) CallFreeInstance(&list);
}

void CHRONEL_PASCAL_METHOD DestroyParamsListItem(void* self, uint8_t outermost) noexcept {
  auto* item = static_cast<TkivParamsListItem*>(self);
  ReleaseItemValue(item->Value);
  ReleasePascalString(std::exchange(item->Name, nullptr));
  ReleasePascalString(std::exchange(item->LowerName, nullptr));
  if (outermost) CallFreeInstance(item);
}

}  // namespace own_slots

TkivParamsList* NewParamsList() { return NewOwnList(TOwnClass::ParamsList); }

TkivRowsParamsList* NewRowsParamsList() {
  return static_cast<TkivRowsParamsList*>(NewOwnList(TOwnClass::RowsParamsList));
}

void FreeParamsList(TkivParamsList* list) {
  if (!list || !IsOwnClassTable(list->ClassTable)) return;
  CallDestroy(list);
}

bool IsAlive(const TkivParamsList* list) { return list && list->Magic == kParamsListMagic; }

std::string ClassNameOf(const TkivParamsList& list) {
  return std::string(ClassNameOfTable(list.ClassTable));
}

TkivParamsListItem* ItemAt(const TkivParamsList& list, int32_t index) {
  if (index < 0 || index >= list.Count || !list.Items) return nullptr;
  return list.Items[index];
}

int32_t IndexOfName(const TkivParamsList& list, std::string_view name, int32_t start,
                    int32_t end) {
  if (!IsAlive(&list)) throw EParamsListError("Assertion failure");
  if (list.Count <= 0 || !list.Items) return -1;
  const std::string wanted = LowerAsciiLetters(platform::Utf8ToAnsi(name));
  const int32_t first = std::max(start, 0);
  const int32_t last = end >= 0 && end < list.Count ? end : list.Count - 1;
  const bool oneRow = end == -2;
  for (int32_t i = first; i <= last; ++i) {
    const TkivParamsListItem* item = list.Items[i];
    if (!item) continue;
    if (PascalStringView(item->LowerName) == wanted) return i;
    if (oneRow && PascalStringView(item->Name) == kNewRowName) break;
  }
  return -1;
}

TkivParamsListItem* FindItem(const TkivParamsList& list, std::string_view name, int32_t start,
                             int32_t end) {
  if (list.Count <= 0) return nullptr;
  return ItemAt(list, IndexOfName(list, name, start, end));
}

Variant GetValue(const TkivParamsList& list, std::string_view name) {
  const TkivParamsListItem* item = FindItem(list, name);
  if (!item) return Variant();
  return Variant::FromRaw(item->Value);
}

std::optional<Variant> GivenValue(const TkivParamsList& list, std::string_view name) {
  Variant value = GetValue(list, name);
  if (value.IsEmptyOrNull()) return std::nullopt;
  return value;
}

TkivParamsListItem* AddValue(TkivParamsList& list, std::string_view name, const Variant& value) {
  if (IsBlank(name)) return nullptr;
  TkivParamsListItem* item = NewItem(name, value);
  item->State = kItemHasValue;
  try {
    Append(list, item);
  } catch (...) {
    CallDestroy(item);
    throw;
  }
  return item;
}

TkivParamsListItem* SetValue(TkivParamsList& list, std::string_view name, const Variant& value,
                             bool createIfMissing) {
  TkivParamsListItem* item = FindItem(list, name);
  if (!item && createIfMissing) item = AddValue(list, name, Variant::Null());
  if (!item) return nullptr;
  platform::VariantCopyData(item->Value, value.Raw());
  return item;
}

void NewRow(TkivParamsList& list) { AddValue(list, kNewRowName, Variant::Null()); }

void ClearList(TkivParamsList& list) {
  if (!CallClear(&list)) throw EParamsListError("Not a parameter list");
}

std::string_view ItemName(const TkivParamsListItem& item) { return PascalStringView(item.Name); }

}  // namespace chronel::plugin
