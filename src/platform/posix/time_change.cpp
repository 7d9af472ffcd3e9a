#include "platform/time_change.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <limits>
#include <mutex>
#include <utility>

#include "core/exception.h"
#include "platform/posix/time_change_watcher.h"
#include "platform/thread.h"
#include "platform/time_change_signal.h"

namespace chronel::platform {
namespace posix {

bool SuspendDetector::Slept(SleepClocks now) {
  const int64_t gapNs = now.bootNs - now.monotonicNs;
  const bool slept = started_ && gapNs - lastGapNs_ > kThresholdNs;
  started_ = true;
  lastGapNs_ = gapNs;
  return slept;
}

}  // namespace posix

namespace {

using posix::SleepClocks;
using posix::SuspendDetector;
using posix::TimeChangeSources;

// Some kernels treat a resume as a set wall clock and wake the watcher at once; on the others a
// sleep is noticed at the next look, at most this long after the machine woke.
constexpr int kLookEveryMs = 2000;

struct Watcher {
  std::mutex mutex;  // held for the whole start and stop
  TimeChangeSources sources;  // as set for testing
  Thread thread;
  int wakeFd = -1;   // an eventfd: writing to it wakes the thread
  int timerFd = -1;  // the wall-clock timer
  std::atomic<bool> stopping{false};
};

Watcher& TheWatcher() {
  static Watcher* watcher = new Watcher;
  return *watcher;
}

int64_t Nanoseconds(clockid_t id) {
  timespec now{};
  clock_gettime(id, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

SleepClocks ReadSystemClocks() {
  return {Nanoseconds(CLOCK_BOOTTIME), Nanoseconds(CLOCK_MONOTONIC)};
}

int ReadSystemTimer(int timerFd) {
  uint64_t expirations = 0;
  return read(timerFd, &expirations, sizeof(expirations)) < 0 ? errno : 0;
}

TimeChangeSources WithSystemDefaults(TimeChangeSources sources) {
  if (!sources.readClocks) sources.readClocks = &ReadSystemClocks;
  if (!sources.readWallClockTimer) sources.readWallClockTimer = &ReadSystemTimer;
  return sources;
}

// Arms the timer at the end of time: it never expires, it only fails its read with ECANCELED
// once the wall clock is set.
bool ArmWallClockTimer(int timerFd) {
  itimerspec never{};
  never.it_value.tv_sec = std::numeric_limits<time_t>::max();
  return timerfd_settime(timerFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) ==
         0;
}

void Wake(int wakeFd) {
  const uint64_t one = 1;
  // Fails only when the counter is full, and then the thread is woken already.
  [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof(one));
}

void ClearWakes(int wakeFd) {
  uint64_t wakes = 0;
  // Non-blocking: fails with EAGAIN when the thread woke for another reason.
  [[maybe_unused]] const ssize_t got = read(wakeFd, &wakes, sizeof(wakes));
}

void CloseIfOpen(int fd) {
  if (fd >= 0) close(fd);
}

// Runs on the watcher thread until stopped. Every wake ends in a look at both sources, whatever
// woke it: the checks are cheap, and a suspend is best caught right after the machine wakes.
void Watch(int wakeFd, int timerFd, const TimeChangeSources& sources, SuspendDetector detector,
           const std::atomic<bool>& stopping) {
  pollfd waitFor[] = {{wakeFd, POLLIN, 0}, {timerFd, POLLIN, 0}};
  for (;;) {
    poll(waitFor, 2, kLookEveryMs);
    if (stopping) return;
    ClearWakes(wakeFd);
    const bool clockSet = sources.readWallClockTimer(timerFd) == ECANCELED;
    if (clockSet) ArmWallClockTimer(timerFd);
    const bool slept = detector.Slept(sources.readClocks());
    if (clockSet || slept) detail::NotifyTimeChanged();
  }
}

}  // namespace

bool StartTimeChangeWatcher() {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (watcher.thread.Joinable()) return true;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  const int timerFd = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
  if (wakeFd < 0 || timerFd < 0 || !ArmWallClockTimer(timerFd)) {
    CloseIfOpen(wakeFd);
    CloseIfOpen(timerFd);
    return false;
  }
  TimeChangeSources sources = WithSystemDefaults(watcher.sources);
  SuspendDetector detector;
  // The baseline, read here so a sleep right after the start already counts.
  detector.Slept(sources.readClocks());
  watcher.stopping = false;
  try {
    watcher.thread = Thread::Start(
        [wakeFd, timerFd, sources = std::move(sources), detector, &watcher] {
          Watch(wakeFd, timerFd, sources, detector, watcher.stopping);
        });
  } catch (const Exception&) {
    CloseIfOpen(wakeFd);
    CloseIfOpen(timerFd);
    return false;
  }
  watcher.wakeFd = wakeFd;
  watcher.timerFd = timerFd;
  return true;
}

void StopTimeChangeWatcher() {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (!watcher.thread.Joinable()) return;
  watcher.stopping = true;
  Wake(watcher.wakeFd);
  watcher.thread.Join();
  CloseIfOpen(watcher.wakeFd);
  CloseIfOpen(watcher.timerFd);
  watcher.wakeFd = -1;
  watcher.timerFd = -1;
}

void RaiseTimeChangeForTesting() { detail::NotifyTimeChanged(); }

namespace posix {

void SetTimeChangeSourcesForTesting(TimeChangeSources sources) {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  watcher.sources = std::move(sources);
}

void WakeTimeChangeWatcherForTesting() {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (watcher.thread.Joinable()) Wake(watcher.wakeFd);
}

}  // namespace posix
}  // namespace chronel::platform
