// Entry points of the Linux build for a host that plays the user. Linux has no system keyboard
// here, so a host asks the plug-in to press a combination it holds. Not one of the twelve
// exports; the Windows build has none of these (a host there presses real keys).
#include <cstdint>

#include "platform/global_hot_key.h"
#include "platform/hotkey.h"

extern "C" __attribute__((visibility("default"))) int32_t chronel_press_hotkey(uint16_t shortcut) {
  using namespace chronel::platform;
  return PressHotKeyForTesting(ShortCutSystemModifiers(shortcut), ShortCutKey(shortcut)) ? 1 : 0;
}
