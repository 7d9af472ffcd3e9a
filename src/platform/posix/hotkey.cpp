#include "platform/hotkey.h"

#include "platform/hotkey_registrations.h"

namespace chronel::platform {

// The process table is the system's table here: nothing outside the process takes hotkeys.
SystemErrorCode RegisterSystemHotKey(WindowHandle window, int id, uint32_t modifiers,
                                     uint32_t virtualKey) {
  if (!IsMessageWindow(window)) return kErrorInvalidWindowHandle;
  if (!detail::AddHotKey({window, id, modifiers, virtualKey})) return kErrorHotKeyAlreadyRegistered;
  return kErrorSuccess;
}

SystemErrorCode UnregisterSystemHotKey(WindowHandle window, int id) {
  return detail::RemoveHotKey(window, id) ? kErrorSuccess : kErrorHotKeyNotRegistered;
}

}  // namespace chronel::platform
