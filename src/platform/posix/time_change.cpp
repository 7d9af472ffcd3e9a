#include "platform/time_change.h"

#include "platform/time_change_signal.h"

namespace chronel::platform {

// Linux has no watcher here: the POSIX build serves tests and the reference host, where the test
// hook is the only source of the signal.
bool StartTimeChangeWatcher() { return true; }

void StopTimeChangeWatcher() {}

void RaiseTimeChangeForTesting() { detail::NotifyTimeChanged(); }

}  // namespace chronel::platform
