#include "schedule/scheduled_event.h"

#include <exception>
#include <utility>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/time_change.h"
#include "schedule/schedule_thread.h"

namespace chronel {

TScheduledEvent::TScheduledEvent(std::string name) : name_(std::move(name)) {}

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
  if (!schedule_.Recalculate()) return false;
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
  if (const std::optional<TClaimedRun> run = ClaimRun()) RunClaimed(*run);
}

// Claims one run, so handlers on worker threads never run past the limit together.
std::optional<TScheduledEvent::TClaimedRun> TScheduledEvent::ClaimRun() {
  int64_t count = run_count_;
  int64_t limit = 0;
  do {
    if (!running_) return std::nullopt;
    limit = run_limit_;
    if (limit > 0 && count >= limit) return std::nullopt;
  } while (!run_count_.compare_exchange_weak(count, count + 1));
  return TClaimedRun{limit > 0 && count + 1 >= limit, window_};
}

// A handler may restart or free its event: after it, only the run that reached the limit
// touches the event, and that run stops also when the handler raised.
void TScheduledEvent::RunClaimed(const TClaimedRun& run) {
  std::exception_ptr error;
  try {
    if (OnSchedule) OnSchedule(*this);
  } catch (...) {
    error = std::current_exception();
  }
  if (run.reaches_limit) {
    if (OnRunLimit) OnRunLimit(*this);
    StopRun(run.window);
  }
  if (error) std::rethrow_exception(error);
}

// Stops the run that `window` belongs to, never one started since. Stop destroys the window,
// which only the starting thread may do; a window that is gone drops the message.
void TScheduledEvent::StopRun(platform::WindowHandle window) {
  if (platform::CurrentThreadId() != owner_thread_) {
    platform::PostWindowMessage(window, TScheduleThread::kStopMessage, 0, 0);
    return;
  }
  if (window == window_) Stop();
}

// Runs on the starting thread when a schedule thread ended by itself.
void TScheduledEvent::ThreadTerminated() {
  if (!running_ || !thread_ || !thread_->TerminatedHandlerEnabled()) return;
  switch (schedule_.State()) {
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
      if (!thread_) break;
      const TScheduleThread::TAnswer answer = thread_->AnswerWhenDone();
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
