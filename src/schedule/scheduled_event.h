// A scheduled event turns a schedule into calls of its OnSchedule handler, one per due time.
// A started event waits on a thread of its own and signals each due time in one of four ways;
// the plug-in keeps the default, a window message to the thread that started the event.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/message_window.h"
#include "platform/thread.h"
#include "schedule/schedule.h"

namespace chronel {

enum class TSignalingType : uint8_t {
  stWorkerThread = 0,   // a new worker thread per due time runs the handler
  stSynchronized = 1,   // the starting thread runs it while the schedule thread waits
  stWindowMessage = 2,  // a message to the starting thread, which runs it when it pumps
  stTimerMessage = 3,   // as 2, with the waiting done by a window timer instead of a thread
};

// The message that tells the starting thread a schedule is due (the first user message + 1).
inline constexpr uint32_t kScheduleDueMessage = platform::kWmUser + 1;

// How long Stop waits for the schedule thread before leaving it to end on its own.
inline constexpr uint32_t kStopTimeoutMs = 3000;

class TScheduleThread;

class TScheduledEvent {
 public:
  // Handlers receive the event as sender. Which thread runs them is noted on each.
  using THandler = std::function<void(TScheduledEvent& sender)>;

  explicit TScheduledEvent(std::string name);
  // Stops the event and waits for handlers still running on worker threads.
  ~TScheduledEvent();
  TScheduledEvent(const TScheduledEvent&) = delete;
  TScheduledEvent& operator=(const TScheduledEvent&) = delete;

  const std::string& Name() const { return name_; }
  // Set its text (and start/end times) only while the event is stopped.
  TSchedule& Schedule() { return schedule_; }

  bool Running() const { return running_; }

  TSignalingType SignalingType() const { return signaling_type_; }
  // Raises "Cannot change signaling type while running" while running.
  void SetSignalingType(TSignalingType value);

  // Handler runs since creation; any thread may read it.
  int64_t RunCount() const { return run_count_; }
  // 0 (the default) or the number of runs after which the event stops itself (a negative
  // limit counts as none).
  int64_t RunLimit() const { return run_limit_; }
  void SetRunLimit(int64_t value) { run_limit_ = value; }

  // The due handler. Runs on: a new worker thread (stWorkerThread); the starting thread
  // (every other type), inside its message dispatch.
  THandler OnSchedule;
  // At the end of a successful Start / of Stop; on the thread that called it.
  THandler OnStart;
  THandler OnStop;
  // The schedule thread ended by itself: the end time passed / the last due time was signalled.
  // On the starting thread, inside its message dispatch; never after Stop.
  THandler OnExpired;
  THandler OnFinished;
  // The run limit was reached; on the thread that ran the handler, just before the event stops.
  THandler OnRunLimit;

  // Recalculates the schedule from now; false, without starting, when it has no next due time.
  // Otherwise creates the message window on the calling thread (which must pump messages from
  // then on), starts the waiting and answers true. Raises "AllocateHWND failed" when the window
  // cannot be made, and the schedule's own errors. `run_now` makes the first pass due at once
  // (or at the start time). Call on the thread that owns the event.
  bool Start(bool run_now);
  // Wakes the waiting thread and waits up to kStopTimeoutMs for it to end (a thread that does
  // not end by then is left to end on its own; it touches nothing of the event any more),
  // destroys the message window (dropping due messages still queued) and calls OnStop.
  // Nothing happens when the event is not running. A worker that was signalled before still
  // runs its handler. Call on the thread that started it.
  void Stop();

  // Runs the handler once, unless stopped or at the run limit; the run that reaches the limit
  // stops the event, also when the handler raises. Called by the signalling in use.
  void Fire();

 private:
  friend class TScheduleThread;
  friend class TWorkerThread;

  // One run of the handler, counted when it was claimed.
  struct TClaimedRun {
    bool reaches_limit = false;
    platform::WindowHandle window = 0;  // of the run it belongs to: a restart makes a new one
  };

  platform::LResult WindowProc(platform::WindowHandle window, uint32_t message,
                               platform::WParam wparam, platform::LParam lparam);
  std::optional<TClaimedRun> ClaimRun();
  void RunClaimed(const TClaimedRun& run);
  void StopRun(platform::WindowHandle window);
  void ThreadTerminated();

  // Handlers still running on worker threads; the destructor waits for them.
  struct TWorkers {
    std::mutex mutex;
    std::condition_variable idle;
    int count = 0;
  };

  const std::string name_;
  TSchedule schedule_;
  std::atomic<bool> running_{false};
  TSignalingType signaling_type_ = TSignalingType::stWindowMessage;
  std::atomic<int64_t> run_count_{0};
  std::atomic<int64_t> run_limit_{0};
  std::atomic<platform::WindowHandle> window_{0};
  std::atomic<platform::ThreadId> owner_thread_{0};  // read by workers
  std::unique_ptr<TScheduleThread> thread_;
  TWorkers workers_;
};

}  // namespace chronel
