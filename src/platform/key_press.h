// A key press as the user makes it, for a host that plays the user: Windows delivers it to
// whatever holds the combination (a registered hotkey included). Linux has no system keyboard
// here; a host there asks the plug-in's diagnostic entry point instead.
#pragma once

#include <cstdint>

namespace chronel::platform {

// Presses and releases the modifiers (kModAlt, kModControl, kModShift) and the virtual key.
// False when the system refused the input or has none (POSIX). Any thread.
bool SendKeyPress(uint32_t modifiers, uint32_t virtualKey);

}  // namespace chronel::platform
