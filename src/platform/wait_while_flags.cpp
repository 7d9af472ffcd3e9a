#include "platform/wait_while_flags.h"

#include "platform/application.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/thread.h"

namespace chronel::platform {
namespace {

constexpr uint32_t kPassSleepMs = 50;

// 1 when every flag is set; else, in order, 0 at the first clear flag or -1 at the first null.
int FlagState(std::initializer_list<const std::atomic<bool>*> flags) {
  for (const std::atomic<bool>* flag : flags) {
    if (!flag) return -1;
    if (!flag->load()) return 0;
  }
  return 1;
}

// A failing handler must not end the wait of the export that is pumping for it.
void ProcessMessagesSwallowingErrors() {
  try {
    ProcessMessages();
  } catch (...) {
  }
}

}  // namespace

bool WaitWhileFlags(uint32_t timeoutMs, std::initializer_list<const std::atomic<bool>*> flags,
                    bool ignoreTermination) {
  const uint32_t start = CurrentClock().TickCount();
  for (bool firstPass = true;; firstPass = false) {
    const int state = FlagState(flags);
    // Unsigned arithmetic keeps the distance right across a wrap of the tick count.
    const uint32_t elapsed = CurrentClock().TickCount() - start;
    if (!firstPass) {
      ProcessMessagesSwallowingErrors();
      SleepMilliseconds(kPassSleepMs);
    }
    if (state < 1) return state == 0;
    if (timeoutMs > 0 && elapsed >= timeoutMs) return false;
    if (!ignoreTermination && ApplicationTerminating()) return false;
  }
}

}  // namespace chronel::platform
