#include "platform/hotkey_registrations.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/hotkey.h"

namespace chronel::platform::detail {
namespace {

// The system ignores its "no repeat" flag when it compares combinations.
constexpr uint32_t kModNoRepeat = 0x4000;

struct Table {
  std::mutex mutex;
  std::vector<HotKeyRegistration> registrations;
};

Table& TheTable() {
  static Table* table = new Table;  // windows may be destroyed while the process exits
  return *table;
}

bool SameCombination(const HotKeyRegistration& r, uint32_t modifiers, uint32_t virtualKey) {
  return (r.Modifiers & ~kModNoRepeat) == (modifiers & ~kModNoRepeat) &&
         r.VirtualKey == virtualKey;
}

bool SameOwner(const HotKeyRegistration& r, WindowHandle window, int id) {
  return r.Window == window && r.Id == id;
}

}  // namespace

bool AddHotKey(const HotKeyRegistration& registration) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto& all = table.registrations;
  const bool taken = std::any_of(all.begin(), all.end(), [&](const HotKeyRegistration& r) {
    return !SameOwner(r, registration.Window, registration.Id) &&
           SameCombination(r, registration.Modifiers, registration.VirtualKey);
  });
  if (taken) return false;
  auto same = std::find_if(all.begin(), all.end(), [&](const HotKeyRegistration& r) {
    return SameOwner(r, registration.Window, registration.Id);
  });
  if (same != all.end()) *same = registration;
  else all.push_back(registration);
  return true;
}

bool RemoveHotKey(WindowHandle window, int id) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto& all = table.registrations;
  auto found = std::find_if(all.begin(), all.end(),
                            [&](const HotKeyRegistration& r) { return SameOwner(r, window, id); });
  if (found == all.end()) return false;
  all.erase(found);
  return true;
}

void RemoveWindowHotKeys(WindowHandle window) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  std::erase_if(table.registrations,
                [&](const HotKeyRegistration& r) { return r.Window == window; });
}

std::optional<HotKeyRegistration> FindHotKey(uint32_t modifiers, uint32_t virtualKey) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  for (const HotKeyRegistration& r : table.registrations) {
    if (SameCombination(r, modifiers, virtualKey)) return r;
  }
  return std::nullopt;
}

}  // namespace chronel::platform::detail

namespace chronel::platform {

bool PressHotKeyForTesting(uint32_t modifiers, uint32_t virtualKey) {
  const std::optional<detail::HotKeyRegistration> holder = detail::FindHotKey(modifiers, virtualKey);
  if (!holder) return false;
  // As the system reports a press: the id, and the modifiers and key packed into one word each.
  const LParam keys = static_cast<LParam>((holder->Modifiers & 0xFFFF) |
                                          ((holder->VirtualKey & 0xFFFF) << 16));
  return PostWindowMessage(holder->Window, kWmHotKey, static_cast<WParam>(holder->Id), keys) ==
         kErrorSuccess;
}

}  // namespace chronel::platform
