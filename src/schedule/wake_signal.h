// The wake event of a schedule thread: Stop ends its waits for good, Recheck ends only the
// current wait (the system resumed or the clock was set), Done answers a synchronized handler
// call. Waits measure relative time, which may not count time the machine spent suspended;
// Recheck is what keeps them honest after a resume.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace chronel {

// Every method: any thread.
class TWakeSignal {
 public:
  enum class TWake { wTimeout, wStop, wRecheck };

  void Stop();
  void Recheck();
  void Done();
  bool Stopped() const;

  // Waits up to `timeout_ms` (0 does not wait) for Stop or Recheck; a Recheck is spent by the
  // wait it ends. Stop wins over Recheck.
  TWake Wait(int64_t timeout_ms);
  // Waits for Done (spent by the wait) or Stop; true for Done.
  bool WaitForDone();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool recheck_ = false;
  bool done_ = false;
};

}  // namespace chronel
