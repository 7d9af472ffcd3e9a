// The readable text of a keyboard shortcut ("Shift+Ctrl+Alt+A"), as the task list shows a hotkey
// task. The text is never read back; only the shortcut code is.
#pragma once

#include <string>
#include <string_view>

#include "platform/global_hot_key.h"

namespace chronel {

// Modifiers first (Shift, Ctrl, Alt), then the key: letters and digits as themselves, F1 to F24,
// the common named keys, anything else as "Key" and its virtual-key code in hexadecimal.
std::string ShortCutText(platform::TShortCut shortCut);

// The shortcut a text of that form names (modifiers in any order, compared without regard to
// case); 0 when the text names no key.
platform::TShortCut TextToShortCut(std::string_view text);

}  // namespace chronel
