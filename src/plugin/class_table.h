// Class tables laid out like the host compiler's: field 0 of every object points at its class's
// table, which is also the class reference. At and above that address sit the list classes'
// virtual operations (Grow, Notify, Clear, Error, Create); below it the root class's slots and
// the class metadata (class name, instance size, parent). Two layouts of the lower part exist;
// slots below are written as indexes in pointer-sized units, so 64-bit builds double the byte
// offsets consistently:
//
//   slot          older   newer     (bytes on 32-bit: index * 4)
//   SelfPtr        -19     -22      (-76 / -88, holds the table's own address)
//   ClassName      -11     -14      (-44 / -56, length-prefixed 8-bit text, no NUL)
//   InstanceSize   -10     -13      (-40 / -52)
//   Parent          -9     -12      (-36 / -48, pointer to a pointer to the parent's table)
//   NewInstance     -3      -3
//   FreeInstance    -2      -2
//   Destroy         -1      -1
//   Grow 0, Notify 1, Clear 2, Error 3 (class operation), Create 4 (virtual constructor)
//
// Slot functions use the host's method convention: on i686 the first three arguments in EAX,
// EDX, ECX (Self, or the class for class operations, first); on x86_64 the platform's default,
// which both sides of a build share.
//
// An object is grown, cleared and destroyed only through its own table, whichever side built
// it, and a table is read only after its SelfPtr proved it is one: a readable table of garbage is
// refused, never followed.
//
// Threads: the tables are immutable; the current layout is an atomic and may be read and set
// from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#if defined(__i386__)
#define CHRONEL_PASCAL_METHOD __attribute__((regparm(3)))
#else
#define CHRONEL_PASCAL_METHOD
#endif

namespace chronel::plugin {

enum class TClassTableLayout { Older, Newer };

// Slot indexes, pointer-sized units from the table address.
struct TClassTableSlotIndexes {
  int SelfPtr;
  int ClassName;
  int InstanceSize;
  int Parent;
};
inline constexpr TClassTableSlotIndexes kOlderSlotIndexes{-19, -11, -10, -9};
inline constexpr TClassTableSlotIndexes kNewerSlotIndexes{-22, -14, -13, -12};
inline constexpr int kNewInstanceSlot = -3;
inline constexpr int kFreeInstanceSlot = -2;
inline constexpr int kDestroySlot = -1;
inline constexpr int kGrowSlot = 0;
inline constexpr int kNotifySlot = 1;
inline constexpr int kClearSlot = 2;
inline constexpr int kErrorSlot = 3;
inline constexpr int kCreateSlot = 4;

// The list's notification kinds (a byte, as the host passes it).
enum TListNotification : uint8_t { lnAdded = 0, lnExtracted = 1, lnDeleted = 2 };

// Slot signatures. Flags arrive as bytes (the host sets only the low byte of the register).
using TGrowSlot = void(CHRONEL_PASCAL_METHOD*)(void* self);
using TNotifySlot = void(CHRONEL_PASCAL_METHOD*)(void* self, void* item, uint8_t action);
using TClearSlot = void(CHRONEL_PASCAL_METHOD*)(void* self);
using TErrorSlot = void(CHRONEL_PASCAL_METHOD*)(const void* classTable, const void* message,
                                                intptr_t data);
// `allocate` non-zero: `classOrSelf` is the class and a new object is allocated; zero: it is an
// allocated object being initialised (an inherited constructor call). Returns the object.
using TCreateSlot = void*(CHRONEL_PASCAL_METHOD*)(const void* classOrSelf, uint8_t allocate);
using TNewInstanceSlot = void*(CHRONEL_PASCAL_METHOD*)(const void* classTable);
using TFreeInstanceSlot = void(CHRONEL_PASCAL_METHOD*)(void* self);
// `outermost` non-zero: after the destructor, FreeInstance releases the memory.
using TDestroySlot = void(CHRONEL_PASCAL_METHOD*)(void* self, uint8_t outermost);

// The layout of a class table by its SelfPtr: older first, then newer; nothing for null or a
// table that is neither.
std::optional<TClassTableLayout> DetectClassTableLayout(const void* table);

// The layout of the objects this module creates from now on; Older until set.
void UseClassTableLayout(TClassTableLayout layout);
TClassTableLayout CurrentClassTableLayout();
// The first host table whose layout can be detected decides this module's layout; later calls
// change nothing. The plug-in passes the table of the first host list it sees.
void AdoptHostLayout(const void* hostTable);
// Back to Older and not yet adopted.
void ResetClassTableLayoutForTesting();

// This module's classes and their tables in either layout.
enum class TOwnClass { ParamsListItem, ParamsList, RowsParamsList };
const void* OwnClassTable(TOwnClass ownClass, TClassTableLayout layout);
bool IsOwnClassTable(const void* table);

// Metadata of a recognised table; empty / nothing for a table of unknown layout.
std::string_view ClassNameOfTable(const void* table);
std::optional<size_t> InstanceSizeOfTable(const void* table);

// Calls through the object's own table (field 0). Each returns false, calling nothing, when that
// table's layout cannot be detected.
[[nodiscard]] bool CallGrow(void* list);
[[nodiscard]] bool CallNotify(void* list, void* item, TListNotification action);
[[nodiscard]] bool CallClear(void* list);
// Destroys and frees the object by its owner's code. Null is ignored; an object of an
// unrecognised class is left alone (false): leaking it is safer than freeing by guess.
bool CallDestroy(void* object);
// A new object of the class through its virtual constructor; null for an unrecognised table.
void* CallCreate(const void* classTable);
// The root class's allocation pair, through the class's (or the object's) own table: a zeroed
// instance of the class's instance size with field 0 set, or null; and its release.
void* CallNewInstance(const void* classTable);
void CallFreeInstance(void* object);

}  // namespace chronel::plugin
