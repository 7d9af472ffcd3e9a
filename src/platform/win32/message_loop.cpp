#include "platform/message_loop.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

// A quit message belongs to the loop of whoever owns the thread (the host): leave it queued.
void RequeueQuit(const MSG& quit) { PostQuitMessage(static_cast<int>(quit.wParam)); }

void Dispatch(const MSG& message) {
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

void ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      RequeueQuit(message);
      return;
    }
    Dispatch(message);
  }
}

bool WaitForMessages(uint32_t timeoutMs) {
  return MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

void RunMessageLoop(const std::function<bool()>& stop) {
  MSG message;
  while (!stop()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      RequeueQuit(message);
      return;
    }
    Dispatch(message);
  }
}

}  // namespace chronel::platform
