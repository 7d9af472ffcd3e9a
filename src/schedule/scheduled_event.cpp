#include "schedule/scheduled_event.h"

#include <exception>
#include <utility>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/time_change.h"
#include "schedule/schedule_thread.h"

namespace chronel {

TScheduledEvent::TScheduledEvent(std::string name)
    : name_(std::move(name)), schedule_(std::make_shared<TSchedule>()) {}

TScheduledEvent::~TScheduledEvent() {
  try {
    Stop();
  } catch (...) {
    platform::HandleApplicationException(std::current_exception());
  }
  std::unique_lock lock(workers_.mutex);
  workers_.idle.wait(lock, [&] { return workers_.count == 0; });
}

void TScheduledEvent::SetSignalingType(TSignalingType value) {
  if (running_) throw Exception("Cannot change signaling type while running");
  signaling_type_ = value;
}

bool TScheduledEvent::Start(bool run_now) {
  Stop();  // a running event would otherwise lose its thread
  if (!schedule_->Recalculate()) return false;
  platform::StartTimeChangeWatcher();
  platform::WindowHandle window = 0;
  try {
    window = platform::CreateMessageWindow(
        [this](platform::WindowHandle handle, uint32_t message, platform::WParam wparam,
               platform::LParam lparam) { return WindowProc(handle, message, wparam, lparam); });
  } catch (const Exception&) {
    throw Exception("AllocateHWND failed");
  }
  window_ = window;
  owner_thread_ = platform::CurrentThreadId();
  running_ = true;
  try {
    thread_ = std::make_unique<TScheduleThread>(*this, run_now);
  } catch (...) {
    running_ = false;
    window_ = 0;
    platform::DestroyMessageWindow(window);
    throw;
  }
  if (OnStart) OnStart(*this);
  return true;
}

void TScheduledEvent::Stop() {
  if (!running_) return;
  thread_->DisableTerminatedHandler();
  running_ = false;
  thread_->Terminate();
  // A thread that does not end in time keeps only shared state alive; it never reaches this
  // event again.
  if (!thread_->TimerMode() && !thread_->WaitFor(kStopTimeoutMs)) thread_->Abandon();
  thread_.reset();
  const platform::WindowHandle window = window_.exchange(0);
  if (window != 0) platform::DestroyMessageWindow(window);
  if (OnStop) OnStop(*this);
}

void TScheduledEvent::Fire() {
  // Claims one run, so handlers on worker threads never run past the limit together.
  int64_t count = run_count_;
  int64_t limit = 0;
  do {
    if (!running_) return;
    limit = run_limit_;
    if (limit > 0 && count >= limit) return;
  } while (!run_count_.compare_exchange_weak(count, count + 1));

  if (OnSchedule) OnSchedule(*this);
  if (limit <= 0 || count + 1 < limit) return;
  if (OnRunLimit) OnRunLimit(*this);
  StopOnOwnerThread();
}

// Stop destroys the message window, which only the starting thread may do.
void TScheduledEvent::StopOnOwnerThread() {
  if (platform::CurrentThreadId() == owner_thread_) {
    Stop();
    return;
  }
  platform::PostWindowMessage(window_, TScheduleThread::kStopMessage, 0, 0);
}

// Runs on the starting thread when a schedule thread ended by itself.
void TScheduledEvent::ThreadTerminated() {
  if (!running_ || !thread_ || !thread_->TerminatedHandlerEnabled()) return;
  switch (schedule_->State()) {
    case TScheduleState::ssDueLast:
      if (OnFinished) OnFinished(*this);
      return;
    case TScheduleState::ssExpired:
      if (OnExpired) OnExpired(*this);
      return;
    case TScheduleState::ssWaiting:
    case TScheduleState::ssDue:
      return;  // ended by an error
  }
}

platform::LResult TScheduledEvent::WindowProc(platform::WindowHandle window, uint32_t message,
                                              platform::WParam wparam, platform::LParam lparam) {
  switch (message) {
    case kScheduleDueMessage:
      if (OnSchedule) Fire();
      return 0;
    case TScheduleThread::kSynchronizeMessage: {
      // The schedule thread waits for the answer, also when the handler raises.
      struct Answer {
        TScheduledEvent& event;
        ~Answer() {
          if (event.thread_) event.thread_->SynchronizedDone();
        }
      } answer{*this};
      Fire();
      return 0;
    }
    case TScheduleThread::kEndedMessage:
      ThreadTerminated();
      return 0;
    case TScheduleThread::kRecheckMessage:
      if (thread_) thread_->RecheckNow();
      return 0;
    case TScheduleThread::kStopMessage:
      Stop();
      return 0;
    case platform::kWmTimer:
      if (wparam != TScheduleThread::kTimerId || !thread_) break;
      thread_->TimerTick();
      return 0;
    default:
      break;
  }
  return platform::DefaultWindowProcedure(window, message, wparam, lparam);
}

}  // namespace chronel
