// A fake host for the parameter-list boundary: class tables built by hand in either layout, and
// lists and items allocated, grown, cleared and freed by this test program's own code, as the
// host would do in its own module. Every slot call is counted.
//
// Threads: the test thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugin/class_table.h"
#include "plugin/params_list.h"
#include "plugin/pascal_string.h"

namespace chronel::plugin::test {

struct FakeHostCalls {
  int Grow = 0;
  int Notify = 0;
  int Clear = 0;
  int ItemsDestroyed = 0;
  // What a host item saw of the watched list while it was being destroyed.
  uint32_t MagicSeenByItem = 0xFFFFFFFF;
  bool ItemSlotEmptied = false;
};
FakeHostCalls& HostCalls();
void ResetHostCalls();
// The list whose Magic and item slots the host items' destructor records.
void WatchListFromHostItems(const TkivParamsList* list);

// A reference-counted text constant (count -1) in static or stack memory.
template <size_t N>
struct ConstantText {
  TPascalStringHeader Header{kPascalStringCodePage, 1, kPascalStringConstant, N - 1};
  std::array<char, N> Chars{};
  explicit ConstantText(const char (&text)[N]) {
    for (size_t i = 0; i < N; ++i) Chars[i] = text[i];
  }
  char* Get() { return Chars.data(); }
};

class FakeHostClass {
 public:
  enum class Kind { List, Item };
  FakeHostClass(TClassTableLayout layout, Kind kind);
  FakeHostClass(const FakeHostClass&) = delete;
  FakeHostClass& operator=(const FakeHostClass&) = delete;

  const void* Table() const { return &words_[kTableIndex]; }

 private:
  static constexpr size_t kTableIndex = 24;
  void Put(int slot, uintptr_t value) { words_[kTableIndex + slot] = value; }

  std::array<uintptr_t, kTableIndex + 8> words_{};
  std::array<uint8_t, 32> className_{};
};

// A live, empty list of the host's class, in the host's memory.
TkivParamsList* NewHostList(const FakeHostClass& listClass);
// An item of the host's class with constant names and a value the host owns.
TkivParamsListItem* NewHostItem(const FakeHostClass& itemClass, char* name, char* lowerName,
                                const platform::TVarData& value);
// Appends as the host's own list code does: grows through the list's own table when full.
void HostAppend(TkivParamsList& list, TkivParamsListItem* item);

}  // namespace chronel::plugin::test
