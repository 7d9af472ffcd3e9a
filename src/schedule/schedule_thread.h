// The waiting side of a started scheduled event: a small-stack thread of its own that runs the
// waiting loop and signals each due time, or, in timer mode, a window timer on the starting
// thread that runs one pass of the loop per tick.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/message_window.h"
#include "platform/thread.h"

namespace chronel {

class TScheduledEvent;

// Created by TScheduledEvent::Start and freed by Stop, on the starting thread. The waiting
// state (a copy of the schedule, the wake signal, the loop) is shared with the thread, so a
// thread left behind by Stop runs on live objects of its own; once terminated it no longer
// reaches the event nor its schedule.
class TScheduleThread {
 public:
  // Messages of the event's window besides kScheduleDueMessage.
  static constexpr uint32_t kSynchronizeMessage = platform::kWmUser + 2;  // run Fire, answer
  static constexpr uint32_t kEndedMessage = platform::kWmUser + 3;        // the waiting ended
  static constexpr uint32_t kRecheckMessage = platform::kWmUser + 4;      // timer mode re-check
  static constexpr uint32_t kStopMessage = platform::kWmUser + 5;         // run limit, off-thread
  static constexpr std::uintptr_t kTimerId = 1;

  struct TShared;  // implementation detail, shared with the thread

  // Answers a synchronized signal when it goes: to the thread that signalled, also when the
  // handler raised, restarted or freed the event meanwhile.
  class TAnswer {
   public:
    explicit TAnswer(std::shared_ptr<TShared> shared) : shared_(std::move(shared)) {}
    ~TAnswer();
    TAnswer(const TAnswer&) = delete;
    TAnswer& operator=(const TAnswer&) = delete;

   private:
    std::shared_ptr<TShared> shared_;
  };

  // Subscribes to the system's resume and time-change signal, which re-checks the wait at once,
  // then sizes the first wait and starts the thread at time-critical priority, or the window
  // timer when the event signals by timer messages.
  TScheduleThread(TScheduledEvent& event, bool run_now);
  // Timer mode: stops the timer. Thread mode: the thread was waited for or abandoned.
  ~TScheduleThread();
  TScheduleThread(const TScheduleThread&) = delete;
  TScheduleThread& operator=(const TScheduleThread&) = delete;

  bool TimerMode() const { return timer_mode_; }

  // Stop's side, on the starting thread: no signal reaches the event after Terminate returns,
  // and the thread leaves its wait at once.
  void Terminate();
  bool WaitFor(uint32_t timeout_ms) const { return thread_.WaitFor(timeout_ms); }
  void Abandon() { thread_.Detach(); }
  void DisableTerminatedHandler() { terminated_handler_ = false; }
  bool TerminatedHandlerEnabled() const { return terminated_handler_; }

  // From the event's window procedure, on the starting thread.
  void TimerTick();
  void RecheckNow();
  TAnswer AnswerWhenDone() const { return TAnswer(shared_); }

 private:
  void RunTimerPass();
  void StartTimer(int64_t wait_ms);

  std::shared_ptr<TShared> shared_;
  const bool timer_mode_;
  bool terminated_handler_ = true;
  bool timer_finished_ = false;  // timer mode: the last due time was signalled or time expired
  platform::Thread thread_;
};

}  // namespace chronel
