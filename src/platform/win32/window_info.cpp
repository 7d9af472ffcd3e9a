#include "platform/window_info.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {

std::optional<WindowRect> WindowBounds(WindowHandle window) {
  RECT rect;
  if (window == 0 || !GetWindowRect(reinterpret_cast<HWND>(window), &rect)) return std::nullopt;
  return WindowRect{rect.left, rect.top, rect.right, rect.bottom};
}

IconHandle LoadModuleIcon(ModuleHandle module, const char* name) {
  if (module == 0) return 0;
  return reinterpret_cast<IconHandle>(LoadImageA(reinterpret_cast<HINSTANCE>(module), name,
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

void DestroyModuleIcon(IconHandle icon) {
  if (icon != 0) DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace chronel::platform
