// Private to the POSIX backend: the process table of windows, each with its procedure and the
// queue of its owner thread. Handles are never reused.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/message_window.h"
#include "platform/posix/thread_queue.h"

namespace chronel::platform::posix {

// All functions: any thread.
WindowHandle AddWindow(WindowProcedure procedure, std::shared_ptr<ThreadQueue> owner);
// Removes the window, its timers and its hotkeys; false when it was not there.
bool RemoveWindow(WindowHandle window);
// Removes every window of a thread that ends.
void RemoveWindowsOf(const ThreadQueue& owner);

// The owner queue of a window; null when the window does not exist.
std::shared_ptr<ThreadQueue> QueueOfWindow(WindowHandle window);

// Calls the window's procedure on the calling thread if the window exists and belongs to it;
// empty otherwise.
std::optional<LResult> DispatchToWindow(WindowHandle window, uint32_t message, WParam wparam,
                                        LParam lparam);

}  // namespace chronel::platform::posix
