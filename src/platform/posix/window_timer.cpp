#include "platform/window_timer.h"

#include "platform/posix/window_table.h"

namespace chronel::platform {

SystemErrorCode StartWindowTimer(WindowHandle window, std::uintptr_t id, uint32_t intervalMs) {
  const std::shared_ptr<posix::ThreadQueue> owner = posix::QueueOfWindow(window);
  if (!owner) return kErrorInvalidWindowHandle;
  owner->SetTimer({window, id, intervalMs, 0});
  return kErrorSuccess;
}

void StopWindowTimer(WindowHandle window, std::uintptr_t id) {
  if (const std::shared_ptr<posix::ThreadQueue> owner = posix::QueueOfWindow(window)) {
    owner->KillTimer(window, id);
  }
}

}  // namespace chronel::platform
