// Window timers: a timer id per window; each expiry delivers kWmTimer (wparam = the id) to the
// window's procedure when its owner thread pumps. Late ticks are not queued up: a thread that
// pumps rarely gets one tick, not a backlog.
#pragma once

#include <cstdint>

#include "platform/message_window.h"
#include "platform/system_error.h"

namespace chronel::platform {

// Starts or restarts timer `id` of `window` with the interval in ms (0 behaves as the smallest
// interval the system allows, one above 0x7FFFFFFF as 0x7FFFFFFF). Owner thread only. Answers
// 0 or the system error code. On Linux the deadlines follow CurrentClock().TickCount(), so a
// test clock drives them (a waiting thread looks at the clock at least every 100 ms); on
// Windows the system runs them.
SystemErrorCode StartWindowTimer(WindowHandle window, std::uintptr_t id, uint32_t intervalMs);

// Stops the timer; a timer that does not run is ignored. Owner thread only.
void StopWindowTimer(WindowHandle window, std::uintptr_t id);

}  // namespace chronel::platform
