// The calling thread's message pump: how messages posted and sent to its windows, its window
// timers and hotkey presses get handled. Every function here works on the calling thread's own
// queue only.
#pragma once

#include <cstdint>
#include <functional>

namespace chronel::platform {

// Handles every message now waiting for the calling thread (sent messages, posted messages and
// due timers) and returns when none is left; returns at once when there is nothing to do.
// Procedures run on the calling thread, inside this call.
void ProcessMessages();

// Blocks until a message (or a due timer) waits for the calling thread or `timeoutMs` has
// passed, handling nothing. True when something waits.
bool WaitForMessages(uint32_t timeoutMs);

// Pumps until `stop()` answers true; `stop` is checked before waiting and after every message
// handled. Another thread ends the loop by making `stop` true and then posting any message
// (kWmNull will do) to a window of the looping thread. On Windows a quit message also ends it
// (and stays queued for the host's own loop).
void RunMessageLoop(const std::function<bool()>& stop);

}  // namespace chronel::platform
