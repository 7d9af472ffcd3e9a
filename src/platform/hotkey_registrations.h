// Private to the platform layer: the hotkeys this process holds, by window and id and by key
// combination. On Linux this table is the system's hotkey table; on Windows it mirrors the
// successful registrations so a test or host can press a combination without a keyboard.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/message_window.h"

namespace chronel::platform::detail {

struct HotKeyRegistration {
  WindowHandle Window = 0;
  int Id = 0;
  uint32_t Modifiers = 0;
  uint32_t VirtualKey = 0;
};

// All functions: any thread.
// False when another registration holds the combination, leaving the table as it was. A window
// registering again under the same id replaces its combination, as the system does.
bool AddHotKey(const HotKeyRegistration& registration);
// False when `window` holds nothing under `id`.
bool RemoveHotKey(WindowHandle window, int id);
// Drops every registration of a window that is being destroyed.
void RemoveWindowHotKeys(WindowHandle window);
std::optional<HotKeyRegistration> FindHotKey(uint32_t modifiers, uint32_t virtualKey);

}  // namespace chronel::platform::detail
