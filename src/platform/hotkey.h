// System-wide hotkeys. A registered combination of modifiers and virtual key delivers kWmHotKey
// (wparam = the registration id, lparam = modifiers in the low word and the key in the high
// word) to its window when pressed anywhere, while the window's owner thread pumps.
#pragma once

#include <cstdint>

#include "platform/message_window.h"
#include "platform/system_error.h"

namespace chronel::platform {

// The system's modifier flags.
inline constexpr uint32_t kModAlt = 0x0001;
inline constexpr uint32_t kModControl = 0x0002;
inline constexpr uint32_t kModShift = 0x0004;

// Registers the combination for `window` under `id` (0..0xBFFF, or an atom 0xC000..0xFFFF for a
// library). Answers 0 or the system error code: kErrorHotKeyAlreadyRegistered when the
// combination is taken (by this process or another), kErrorInvalidWindowHandle for a window
// that is gone. Owner thread of `window`.
SystemErrorCode RegisterSystemHotKey(WindowHandle window, int id, uint32_t modifiers,
                                     uint32_t virtualKey);

// Answers 0, or kErrorHotKeyNotRegistered when `window` has nothing registered under `id`.
// Owner thread of `window`. Destroying a window unregisters its hotkeys too.
SystemErrorCode UnregisterSystemHotKey(WindowHandle window, int id);

// Acts as if the user pressed the combination: posts kWmHotKey to the window of this process
// that registered it. False when no window of this process holds it. Any thread. For tests and
// for a host without a keyboard hook (the Linux reference host).
bool PressHotKeyForTesting(uint32_t modifiers, uint32_t virtualKey);

}  // namespace chronel::platform
