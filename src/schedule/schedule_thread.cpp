#include "schedule/schedule_thread.h"

#include <algorithm>
#include <exception>
#include <mutex>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/window_timer.h"
#include "schedule/scheduled_event.h"
#include "schedule/waiting_loop.h"
#include "schedule/wake_signal.h"
#include "schedule/worker_thread.h"

namespace chronel {

struct TScheduleThread::TShared {
  TShared(TScheduledEvent& owner, bool run_now)
      : schedule(owner.schedule_),
        window(owner.window_),
        type(owner.SignalingType()),
        loop(*schedule, run_now),
        event(&owner) {}

  void Signal();
  void RunThread();
  void PostEnded();

  const std::shared_ptr<TSchedule> schedule;
  const platform::WindowHandle window;
  const TSignalingType type;
  TWaitingLoop loop;
  TWakeSignal wake;
  std::mutex gate;         // held while a signal reaches the event
  TScheduledEvent* event;  // null once terminated
};

// Runs on the schedule thread (the starting thread in timer mode) each time the schedule is
// due.
void TScheduleThread::TShared::Signal() {
  std::unique_lock lock(gate);
  if (event == nullptr) return;
  if (!event->OnSchedule) throw Exception("OnSchedule is not defined");
  switch (type) {
    case TSignalingType::stWorkerThread:
      TWorkerThread::Start(*event);
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
      const TWaitDecision decision = loop.Pass([this] { Signal(); });
      if (decision.Leave) break;
      const TWakeSignal::TWake woken = wake.Wait(std::max<int64_t>(decision.WaitMs, 0));
      if (woken == TWakeSignal::TWake::wStop) break;
      if (woken == TWakeSignal::TWake::wRecheck) loop.Recheck();
    }
  } catch (...) {
    platform::HandleApplicationException(std::current_exception());
  }
  PostEnded();
}

// The starting thread learns of a thread that ended by itself through its window.
void TScheduleThread::TShared::PostEnded() {
  std::lock_guard lock(gate);
  if (event != nullptr) platform::PostWindowMessage(window, kEndedMessage, 0, 0);
}

TScheduleThread::TScheduleThread(TScheduledEvent& event, bool run_now)
    : shared_(std::make_shared<TShared>(event, run_now)),
      timer_mode_(shared_->type == TSignalingType::stTimerMessage) {
  if (timer_mode_) {
    const int64_t first = std::min(shared_->loop.Interval() / 2, TWaitingLoop::kLongestWaitMs);
    platform::StartWindowTimer(shared_->window, kTimerId, static_cast<uint32_t>(first));
    time_change_ = platform::TimeChangeSubscription(
        [window = shared_->window] { platform::PostWindowMessage(window, kRecheckMessage, 0, 0); });
    return;
  }
  thread_ = platform::Thread::Start([shared = shared_] { shared->RunThread(); });
  time_change_ = platform::TimeChangeSubscription([shared = shared_] { shared->wake.Recheck(); });
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
  shared_->loop.Recheck();
  RunTimerPass();
}

void TScheduleThread::SynchronizedDone() { shared_->wake.Done(); }

// An error leaves the timer stopped and reaches the window's dispatcher.
void TScheduleThread::RunTimerPass() {
  const TWaitDecision decision = shared_->loop.Pass([this] { shared_->Signal(); });
  timer_finished_ = decision.Leave;
  if (timer_finished_) return;
  const int64_t wait = std::max<int64_t>(decision.WaitMs, 1);
  platform::StartWindowTimer(shared_->window, kTimerId, static_cast<uint32_t>(wait));
}

}  // namespace chronel
