// Private to the POSIX backend and its tests: what the Linux time-change watcher looks at,
// replaceable so a test can play a suspend or a set wall clock without putting the machine to
// sleep or setting its clock.
#pragma once

#include <cstdint>
#include <functional>

namespace chronel::platform::posix {

// CLOCK_BOOTTIME counts the time the machine was suspended and CLOCK_MONOTONIC does not, so the
// gap between them grows by the time spent asleep.
struct SleepClocks {
  int64_t bootNs = 0;
  int64_t monotonicNs = 0;
};

// Tells from successive readings whether the machine slept in between.
class SuspendDetector {
 public:
  // Shorter sleeps are not worth a re-check, and the two clocks are read one after the other, so
  // their gap also jitters by the time between the two reads.
  static constexpr int64_t kThresholdNs = 1'000'000'000;

  // True when the gap grew by more than the threshold since the previous reading. The first
  // reading only sets the baseline.
  bool Slept(SleepClocks now);

 private:
  bool started_ = false;
  int64_t lastGapNs_ = 0;
};

// The watcher's view of the system. An empty member stands for the system's own.
struct TimeChangeSources {
  std::function<SleepClocks()> readClocks;
  // Reads the wall-clock timer as read(2) would: 0 when it read something, else the errno.
  // ECANCELED means the wall clock was set; EAGAIN that nothing happened.
  std::function<int(int timerFd)> readWallClockTimer;
};

// The next watcher to start reads these sources; one already running keeps its own.
void SetTimeChangeSourcesForTesting(TimeChangeSources sources);

// Makes a running watcher look at its sources now, as it does by itself every few seconds.
void WakeTimeChangeWatcherForTesting();

}  // namespace chronel::platform::posix
