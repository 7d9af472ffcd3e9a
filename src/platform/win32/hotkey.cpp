#include "platform/hotkey.h"

#include "platform/hotkey_registrations.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

// The system decides; the process table only mirrors what it granted, for PressHotKeyForTesting.
SystemErrorCode RegisterSystemHotKey(WindowHandle window, int id, uint32_t modifiers,
                                     uint32_t virtualKey) {
  if (!RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers, virtualKey)) {
    return GetLastError();
  }
  detail::AddHotKey({window, id, modifiers, virtualKey});
  return kErrorSuccess;
}

SystemErrorCode UnregisterSystemHotKey(WindowHandle window, int id) {
  if (!UnregisterHotKey(reinterpret_cast<HWND>(window), id)) return GetLastError();
  detail::RemoveHotKey(window, id);
  return kErrorSuccess;
}

}  // namespace chronel::platform
