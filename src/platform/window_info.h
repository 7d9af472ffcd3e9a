// What the plug-in reads of the host's windows and module resources: a window's rectangle on
// the screen (to centre a dialog over it) and an icon resource (the host's own icon).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/message_window.h"
#include "platform/module_info.h"

namespace chronel::platform {

struct WindowRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

// Screen coordinates; none for a window that does not exist. Hidden message windows of the
// POSIX backend have no place on a screen and answer none. Any thread.
std::optional<WindowRect> WindowBounds(WindowHandle window);

using IconHandle = std::uintptr_t;
// The named icon resource of a module; 0 when the module has none (always on POSIX).
IconHandle LoadModuleIcon(ModuleHandle module, const char* name);
// Frees an icon from LoadModuleIcon; 0 is ignored.
void DestroyModuleIcon(IconHandle icon);

}  // namespace chronel::platform
