#include "platform/window_info.h"

namespace chronel::platform {

std::optional<WindowRect> WindowBounds(WindowHandle) { return std::nullopt; }

IconHandle LoadModuleIcon(ModuleHandle, const char*) { return 0; }

void DestroyModuleIcon(IconHandle) {}

}  // namespace chronel::platform
