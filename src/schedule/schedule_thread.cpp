#include "schedule/schedule_thread.h"

#include <algorithm>
#include <exception>
#include <mutex>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/time_change.h"
#include "platform/window_timer.h"
#include "schedule/scheduled_event.h"
#include "schedule/waiting_loop.h"
#include "schedule/wake_signal.h"
#include "schedule/worker_thread.h"

namespace chronel {
namespace {

// A resume or a change of the clock re-checks the wait at once: in timer mode on the starting
// thread, through the window; otherwise by waking the thread.
platform::TimeChangeSubscription SubscribeToTimeChanges(platform::WindowHandle window,
                                                        bool timer_mode, TWakeSignal& wake) {
  if (timer_mode) {
    return platform::TimeChangeSubscription([window] {
      platform::PostWindowMessage(window, TScheduleThread::kRecheckMessage, 0, 0);
    });
  }
  return platform::TimeChangeSubscription([&wake] { wake.Recheck(); });
}

}  // namespace

struct TScheduleThread::TShared {
  TShared(TScheduledEvent& owner, bool run_now)
      : window(owner.window_),
        type(owner.SignalingType()),
        time_change(SubscribeToTimeChanges(window, type == TSignalingType::stTimerMessage, wake)),
        schedule(owner.schedule_),
        loop(schedule, run_now),
        event(&owner) {
    owner.schedule_.TakeProgressFrom(schedule);
  }

  TWaitDecision RunPass();
  void Publish();
  void Signal();
  void RunThread();
  void PostEnded();

  const platform::WindowHandle window;
  const TSignalingType type;
  TWakeSignal wake;
  // Subscribed before the loop first reads the clock, so that no change in between is missed.
  const platform::TimeChangeSubscription time_change;
  TSchedule schedule;  // the thread's own copy, published to the event while it is served
  TWaitingLoop loop;
  std::mutex gate;         // held while a signal or the schedule's progress reaches the event
  TScheduledEvent* event;  // null once terminated
};

// The event's schedule shows each pass's outcome before the event is signalled (a handler may
// read its NextTime) and before the end is reported.
TWaitDecision TScheduleThread::TShared::RunPass() {
  const TWaitDecision decision = loop.Pass([this] {
    Publish();
    Signal();
  });
  Publish();
  return decision;
}

void TScheduleThread::TShared::Publish() {
  std::lock_guard lock(gate);
  if (event != nullptr) event->schedule_.TakeProgressFrom(schedule);
}

// Runs on the schedule thread (the starting thread in timer mode) each time the schedule is
// due.
void TScheduleThread::TShared::Signal() {
  std::unique_lock lock(gate);
  if (event == nullptr) return;
  if (!event->OnSchedule) throw Exception("OnSchedule is not defined");
  switch (type) {
    case TSignalingType::stWorkerThread:
      // Claimed before the end can be reported, so that OnFinished stopping or freeing the event
      // never loses the last run.
      if (const auto run = event->ClaimRun()) TWorkerThread::Start(*event, *run);
      return;
    case TSignalingType::stSynchronized:
      platform::PostWindowMessage(window, kSynchronizeMessage, 0, 0);
      lock.unlock();
      wake.WaitForDone();  // or Stop
      return;
    case TSignalingType::stWindowMessage:
    case TSignalingType::stTimerMessage:
      platform::PostWindowMessage(window, kScheduleDueMessage, 0, 0);
      return;
  }
}

void TScheduleThread::TShared::RunThread() {
  platform::SetCurrentThreadPriority(platform::ThreadPriority::TimeCritical);
  try {
    for (;;) {
      const TWaitDecision decision = RunPass();
      if (decision.Leave) break;
      // A re-check only ends the wait early: the next pass reads the clock afresh.
      if (wake.Wait(decision.WaitMs) == TWakeSignal::TWake::wStop) break;
    }
  } catch (...) {
    platform::HandleApplicationException(std::current_exception());
  }
  PostEnded();
}

// The starting thread learns of waiting that ended by itself through its window.
void TScheduleThread::TShared::PostEnded() {
  std::lock_guard lock(gate);
  if (event != nullptr) platform::PostWindowMessage(window, kEndedMessage, 0, 0);
}

TScheduleThread::TAnswer::~TAnswer() { shared_->wake.Done(); }

TScheduleThread::TScheduleThread(TScheduledEvent& event, bool run_now)
    : shared_(std::make_shared<TShared>(event, run_now)),
      timer_mode_(shared_->type == TSignalingType::stTimerMessage) {
  if (timer_mode_) {
    StartTimer(shared_->loop.WaitMs());
    return;
  }
  thread_ = platform::Thread::Start([shared = shared_] { shared->RunThread(); });
}

TScheduleThread::~TScheduleThread() {
  if (timer_mode_) platform::StopWindowTimer(shared_->window, kTimerId);
}

void TScheduleThread::Terminate() {
  {
    std::lock_guard lock(shared_->gate);
    shared_->event = nullptr;
  }
  shared_->wake.Stop();
}

void TScheduleThread::TimerTick() {
  if (timer_finished_) return;
  platform::StopWindowTimer(shared_->window, kTimerId);
  RunTimerPass();
}

void TScheduleThread::RecheckNow() {
  if (timer_finished_) return;
  platform::StopWindowTimer(shared_->window, kTimerId);
  RunTimerPass();
}

// An error leaves the timer stopped and reaches the window's dispatcher. The end of the
// schedule is reported as a thread that ends by itself reports it.
void TScheduleThread::RunTimerPass() {
  const TWaitDecision decision = shared_->RunPass();
  timer_finished_ = decision.Leave;
  if (timer_finished_) {
    shared_->PostEnded();
    return;
  }
  StartTimer(decision.WaitMs);
}

// A window timer needs a positive interval.
void TScheduleThread::StartTimer(int64_t wait_ms) {
  platform::StartWindowTimer(shared_->window, kTimerId,
                             static_cast<uint32_t>(std::max<int64_t>(wait_ms, 1)));
}

}  // namespace chronel
