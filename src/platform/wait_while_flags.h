// A bounded wait that keeps the calling thread's windows alive: the data exports wait with it
// until an instance stops being busy.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>

namespace chronel::platform {

// Waits while every flag is set, pumping the calling thread's messages and sleeping 50 ms
// between checks (not before the first). Gives up after `timeoutMs` (0 = no limit, measured by
// CurrentClock().TickCount(), safe across its wrap) and, unless `ignoreTermination`, when the
// application terminates. Answers true only when it ended because a flag was clear; false on
// time-out, termination, or a null flag pointer met before any clear flag. The flags are read
// without a lock; handlers of the calling thread may run during the wait. Calling thread.
bool WaitWhileFlags(uint32_t timeoutMs, std::initializer_list<const std::atomic<bool>*> flags,
                    bool ignoreTermination);

}  // namespace chronel::platform
