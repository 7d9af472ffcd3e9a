// Parameter lists: ordered named OLE-variant values, optionally in rows ended by "$NEW_ROW$"
// items, shared with the host as live objects. Host and library each build these objects in
// their own module with their own class tables; the other side reads and extends them in place
// through the fixed layout below, and grows, clears or frees them only through the object's own
// class table. An object from the other side is recognised by its Magic and class name, never by
// type identity.
//
// Layout on 32-bit Windows (the contract; offsets in bytes), widened naturally on 64-bit builds
// (every pointer field 8 bytes, the variant 24 bytes, fields aligned to their size):
//   item: 0 class table, 4 Name, 8 LowerName, 12 unused, 16 State, 17..23 unused, 24 Value (16)
//   list: 0 class table, 4 item array, 8 Count, 12 Capacity, 16 Magic, 20 ListID, 24 reserved;
//   rows list: 28 reserved.
// and on 64-bit builds:
//   item: 0 class table, 8 Name, 16 LowerName, 24 unused, 32 State, 33..39 unused, 40 Value (24)
//   list: 0 class table, 8 item array, 16 Count, 20 Capacity, 24 Magic, 28 padding, 32 ListID,
//   40 reserved; rows list: 48 reserved.
// Name, LowerName and ListID are reference-counted 8-bit texts (pascal_string.h).
//
// Threads: a list is not locked; its users serialise access to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/exception.h"
#include "platform/variant.h"
#include "plugin/class_table.h"

namespace chronel::plugin {

inline constexpr uint32_t kParamsListMagic = 0x0FDE2E4B;
inline constexpr std::string_view kNewRowName = "$NEW_ROW$";
inline constexpr uint8_t kItemHasValue = 2;

struct TkivParamsListItem {
  const void* ClassTable;
  char* Name;
  char* LowerName;
  uintptr_t Unused12;
  uint8_t State;
  uint8_t Unused17[7];
  platform::TVarData Value;
};

struct TkivParamsList {
  const void* ClassTable;
  TkivParamsListItem** Items;
  int32_t Count;
  int32_t Capacity;
  uint32_t Magic;
  char* ListID;
  uintptr_t Reserved24;
};

struct TkivRowsParamsList : TkivParamsList {
  uintptr_t Reserved28;
};

#if UINTPTR_MAX == 0xFFFFFFFF
static_assert(offsetof(TkivParamsListItem, Name) == 4);
static_assert(offsetof(TkivParamsListItem, LowerName) == 8);
static_assert(offsetof(TkivParamsListItem, Unused12) == 12);
static_assert(offsetof(TkivParamsListItem, State) == 16);
static_assert(offsetof(TkivParamsListItem, Value) == 24);
static_assert(sizeof(TkivParamsListItem) == 40);
static_assert(offsetof(TkivParamsList, Items) == 4);
static_assert(offsetof(TkivParamsList, Count) == 8);
static_assert(offsetof(TkivParamsList, Capacity) == 12);
static_assert(offsetof(TkivParamsList, Magic) == 16);
static_assert(offsetof(TkivParamsList, ListID) == 20);
static_assert(offsetof(TkivParamsList, Reserved24) == 24);
static_assert(sizeof(TkivParamsList) == 28);
static_assert(sizeof(TkivRowsParamsList) == 32);  // Reserved28 right after the base
#else
static_assert(offsetof(TkivParamsListItem, Name) == 8);
static_assert(offsetof(TkivParamsListItem, LowerName) == 16);
static_assert(offsetof(TkivParamsListItem, Unused12) == 24);
static_assert(offsetof(TkivParamsListItem, State) == 32);
static_assert(offsetof(TkivParamsListItem, Value) == 40);
static_assert(sizeof(TkivParamsListItem) == 64);
static_assert(offsetof(TkivParamsList, Items) == 8);
static_assert(offsetof(TkivParamsList, Count) == 16);
static_assert(offsetof(TkivParamsList, Capacity) == 20);
static_assert(offsetof(TkivParamsList, Magic) == 24);
static_assert(offsetof(TkivParamsList, ListID) == 32);
static_assert(offsetof(TkivParamsList, Reserved24) == 40);
static_assert(sizeof(TkivParamsList) == 48);
static_assert(sizeof(TkivRowsParamsList) == 56);
#endif

// A lookup on a list that is not alive (Magic wrong): "Assertion failure".
class EParamsListError : public Exception {
 public:
  using Exception::Exception;
};

// Our own lists, built with this module's class tables in its current layout
// (class_table.h). Free them with FreeParamsList.
TkivParamsList* NewParamsList();
TkivRowsParamsList* NewRowsParamsList();
// Destroys one of our lists through its class table: Magic 0, Clear, array released, memory
// freed. Null is ignored, and so is a list of another side's class: the host frees its own.
void FreeParamsList(TkivParamsList* list);

// Magic is 0x0FDE2E4B.
bool IsAlive(const TkivParamsList* list);
// The class name from the object's class table ("TkivRowsParamsList"), empty when the table is
// not a class table of a known layout.
std::string ClassNameOf(const TkivParamsList& list);

// Null outside 0..Count-1.
TkivParamsListItem* ItemAt(const TkivParamsList& list, int32_t index);
// First index in [start, end] whose LowerName equals `name` lowered in A-Z only; a negative
// start searches from 0, an end outside 0..Count-1 to the last item; end -2 also stops at the
// first "$NEW_ROW$" item (one row). -1 when none. Raises EParamsListError on a dead list.
int32_t IndexOfName(const TkivParamsList& list, std::string_view name, int32_t start = 0,
                    int32_t end = -1);
// The item IndexOfName finds; null when not found, and for an empty list before any Magic check.
TkivParamsListItem* FindItem(const TkivParamsList& list, std::string_view name,
                             int32_t start = 0, int32_t end = -1);
// A copy of the named item's value; Empty when absent (a host 8-bit text becomes an OLE string).
platform::Variant GetValue(const TkivParamsList& list, std::string_view name);
// The value when the item exists and holds neither Empty nor Null.
std::optional<platform::Variant> GivenValue(const TkivParamsList& list, std::string_view name);

// Appends an item (State 2); null and nothing added when the name is blank after trimming
// codes 0-32. The item keeps the untrimmed name. Grows a foreign list through its own Grow slot;
// raises EParamsListError (adding nothing) when the list's class table is not recognised.
TkivParamsListItem* AddValue(TkivParamsList& list, std::string_view name,
                             const platform::Variant& value);
// Stores into the first item of that name; with `createIfMissing` appends one first. Null when
// there is none.
TkivParamsListItem* SetValue(TkivParamsList& list, std::string_view name,
                             const platform::Variant& value, bool createIfMissing);
// Appends the row separator "$NEW_ROW$" = Null.
void NewRow(TkivParamsList& list);
// Frees every item and empties the array, through the list's own Clear slot; raises
// EParamsListError when the list's class table is not recognised.
void ClearList(TkivParamsList& list);

// The item's name as stored: 8-bit text, in the ANSI code page on Windows and UTF-8 elsewhere
// (the same bytes for ASCII names).
std::string_view ItemName(const TkivParamsListItem& item);

// What this module's class tables run (class_table.cpp puts them into the slots). Either side
// calls them through an object's table, so they never throw: a failure to allocate while growing
// or creating ends the process rather than corrupting the other side's memory.
namespace own_slots {
// Grows the item array as the growable list does: by 4 up to 8 slots, by 16 up to 64, then by
// a quarter.
void CHRONEL_PASCAL_METHOD GrowParamsList(void* self) noexcept;
// Frees every item through its own table (it may be the other side's), then the array.
void CHRONEL_PASCAL_METHOD ClearParamsList(void* self) noexcept;
void* CHRONEL_PASCAL_METHOD CreateParamsList(const void* classOrSelf, uint8_t allocate) noexcept;
void CHRONEL_PASCAL_METHOD DestroyParamsList(void* self, uint8_t outermost) noexcept;
void CHRONEL_PASCAL_METHOD DestroyParamsListItem(void* self, uint8_t outermost) noexcept;
}  // namespace own_slots

}  // namespace chronel::plugin
