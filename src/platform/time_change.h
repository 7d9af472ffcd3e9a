// "The time or the power state changed": the system resumed from sleep, or the wall clock was
// set. Schedule threads subscribe so that a long relative wait is re-checked at once instead of
// firing hours late.
#pragma once

#include <cstdint>
#include <functional>

namespace chronel::platform {

// Starts watching the system (Windows: a thread of ours with a hidden top-level window that
// receives the resume and time-change broadcasts; Linux: a thread of ours that waits on a timer
// the kernel cancels when the wall clock is set, and tells a suspend from the boot clock running
// ahead of the monotonic one). Idempotent, any thread, never from a static constructor or while
// the library is being loaded. False when the watcher could not be set up; the subscriptions
// still work then, the system just never raises them.
bool StartTimeChangeWatcher();

// Ends the watcher thread, if any (before the library is unloaded). Any thread but a
// subscriber's callback.
void StopTimeChangeWatcher();

// Keeps a callback subscribed while it lives. The callback runs on the watcher thread (or the
// thread that raises the signal for testing); it must be quick and must not block: set an event,
// post a message. After the destructor returns the callback is not running and will not run,
// unless the destructor runs inside the callback itself.
class TimeChangeSubscription {
 public:
  TimeChangeSubscription() = default;
  explicit TimeChangeSubscription(std::function<void()> callback);
  ~TimeChangeSubscription();
  TimeChangeSubscription(TimeChangeSubscription&& other) noexcept;
  TimeChangeSubscription& operator=(TimeChangeSubscription&& other) noexcept;

 private:
  void Reset();
  uint64_t id_ = 0;
};

// Signals a time change to this process's subscribers the way the system would: on Windows the
// time-change message goes to the watcher's window (so the watcher must run) and the
// subscribers hear it on the watcher thread; on Linux they are called directly on the calling
// thread. Other processes hear nothing. Any thread.
void RaiseTimeChangeForTesting();

}  // namespace chronel::platform
