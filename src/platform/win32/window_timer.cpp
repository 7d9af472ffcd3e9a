#include "platform/window_timer.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {

SystemErrorCode StartWindowTimer(WindowHandle window, std::uintptr_t id, uint32_t intervalMs) {
  if (SetTimer(reinterpret_cast<HWND>(window), id, intervalMs, nullptr) != 0) return kErrorSuccess;
  const DWORD error = GetLastError();
  return error ? error : kErrorNotEnoughMemory;
}

void StopWindowTimer(WindowHandle window, std::uintptr_t id) {
  KillTimer(reinterpret_cast<HWND>(window), id);
}

}  // namespace chronel::platform
