// Hidden message windows: the way work reaches a thread that owns a message loop. A window
// belongs to the thread that created it; its procedure runs only on that thread, while the
// thread pumps (message_loop.h). Any thread may post to it or send to it with a time-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/system_error.h"

namespace chronel::platform {

// Opaque window handle; 0 is "no window". Outside the platform layer it is just a number.
using WindowHandle = std::uintptr_t;
// Message parameters are pointer-sized, as the system passes them.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

inline constexpr uint32_t kWmNull = 0x0000;
inline constexpr uint32_t kWmCopyData = 0x004A;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmHotKey = 0x0312;
inline constexpr uint32_t kWmUser = 0x0400;

// Runs on the window's owner thread, for every message the window receives (creation messages
// included, before CreateMessageWindow returns); it hands what it does not handle itself to
// DefaultWindowProcedure. An error it raises
// goes to HandleApplicationException (application.h) and the message answers 0: errors never
// travel through the system's dispatching.
using WindowProcedure =
    std::function<LResult(WindowHandle window, uint32_t message, WParam wparam, LParam lparam)>;

// Creates a hidden window owned by the calling thread. Raises chronel::Exception when the
// system refuses. The window lives until DestroyMessageWindow or until its thread ends.
WindowHandle CreateMessageWindow(WindowProcedure procedure);

// Owner thread only; may be called from the window's own procedure. Kills its timers and
// unregisters its hotkeys. A handle that is already gone is ignored.
void DestroyMessageWindow(WindowHandle window);

// True while the window exists. Any thread.
bool IsMessageWindow(WindowHandle window);

// Queues a message for the window; it is handled when the owner thread next pumps. Any thread.
// Answers 0 or the system error code (kErrorInvalidWindowHandle for a window that is gone).
SystemErrorCode PostWindowMessage(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam);

struct SendResult {
  bool Delivered = false;  // the procedure ran and answered within the time-out
  LResult Result = 0;      // the procedure's answer when delivered
  SystemErrorCode Error = kErrorSuccess;  // why not: kErrorTimeout, kErrorInvalidWindowHandle
};

// Any thread. From the owner thread the procedure is called directly. From another thread the
// message waits until the owner pumps, for at most `timeoutMs`; an owner that has not pumped
// for about five seconds counts as hung and the send gives up at once. While it waits, the
// sending thread still handles messages sent to its own windows, so two threads sending to
// each other do not deadlock. A message that timed out may still be handled later.
SendResult SendMessageWithTimeout(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam, uint32_t timeoutMs);

// What a kWmCopyData message's lparam points to (the system's copy-data record: tag, byte
// count, bytes). The bytes are valid only while the procedure runs.
struct CopyData {
  std::uintptr_t Tag;
  uint32_t Size;
  void* Data;
};

inline const CopyData& CopyDataOf(LParam lparam) {
  return *reinterpret_cast<const CopyData*>(lparam);
}

// Sends kWmCopyData (wparam = `sender`, may be 0) with the time-out rules of
// SendMessageWithTimeout. Any thread.
SendResult SendCopyData(WindowHandle target, WindowHandle sender, std::uintptr_t tag,
                        std::span<const std::byte> bytes, uint32_t timeoutMs);

// The system's handling of a message a procedure does not handle itself (0 on POSIX).
// Owner thread.
LResult DefaultWindowProcedure(WindowHandle window, uint32_t message, WParam wparam,
                               LParam lparam);

// Hands a message to the desktop window and answers its result (0 where there is none, and
// after a five-second time-out). Any thread.
LResult PassToDesktopWindow(uint32_t message, WParam wparam, LParam lparam);

}  // namespace chronel::platform
