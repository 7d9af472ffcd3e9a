#include "platform/timer_ex.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/window_timer.h"

namespace chronel::platform {

// What the window procedure needs. It can outlive the component: a window whose owner did not
// answer the destroying thread in time is destroyed later, by the owner.
struct TkivTimerEx::State {
  std::atomic<bool> enabled{true};
  std::atomic<uint32_t> interval{1000};
  WindowHandle window = 0;
  std::mutex mutex;  // guards the three fields below
  TNotifyEvent onTimer;
  TkivTimerEx* component = nullptr;  // null once the component is gone
  int ticksRunning = 0;  // handlers that hold the component as their sender
  std::condition_variable ticksDone;
};

namespace {

constexpr std::uintptr_t kTimerId = 1;

using State = TkivTimerEx::State;

// Kills the timer and starts it again when it should run.
void Update(State& state) {
  if (state.window == 0) return;
  StopWindowTimer(state.window, kTimerId);
  bool hasHandler;
  {
    std::lock_guard lock(state.mutex);
    hasHandler = static_cast<bool>(state.onTimer);
  }
  const uint32_t interval = state.interval.load();
  if (interval == 0 || !state.enabled.load() || !hasHandler) return;
  if (StartWindowTimer(state.window, kTimerId, interval) != kErrorSuccess) {
    throw EOutOfResources("Not enough timers available");
  }
}

// Owner thread.
void ApplyEnabled(State& state, bool value) {
  if (state.enabled.exchange(value) == value) return;
  Update(state);
}

// Counts a tick's handler out when it returns or raises.
struct TickInProgress {
  State& state;
  ~TickInProgress() {
    std::lock_guard lock(state.mutex);
    --state.ticksRunning;
    state.ticksDone.notify_all();
  }
};

// Owner thread. An error from the handler reaches the central handler through the window's
// dispatching. The handler may pump messages, and so let another thread's destructor run its
// course meanwhile: the tick is counted, and that destructor waits for it before it frees the
// sender.
void Tick(State& state) {
  TkivTimerEx::TNotifyEvent handler;
  TkivTimerEx* sender;
  {
    std::lock_guard lock(state.mutex);
    if (!state.onTimer || !state.component) return;
    handler = state.onTimer;
    sender = state.component;
    ++state.ticksRunning;
  }
  const TickInProgress counted{state};
  handler(sender);
}

// Another thread than the owner: a tick still running on the owner holds the component.
void WaitForTicksInProgress(State& state) {
  std::unique_lock lock(state.mutex);
  state.ticksDone.wait(lock, [&state] { return state.ticksRunning == 0; });
}

// Another thread than the owner. A hung owner refuses the send without queuing it; posted, the
// destroy still reaches the owner once it pumps again.
void DestroyOnOwner(WindowHandle window) {
  const uint32_t waitMs = TkivTimerEx::kOwnerWaitMs;
  if (SendMessageWithTimeout(window, TkivTimerEx::kDestroyWindowMessage, 0, 0, waitMs).Delivered) {
    return;
  }
  PostWindowMessage(window, TkivTimerEx::kDestroyWindowMessage, 0, 0);
}

}  // namespace

TkivTimerEx::TkivTimerEx() : ownerThread_(CurrentThreadId()), state_(std::make_shared<State>()) {
  state_->component = this;
  state_->window = CreateMessageWindow(
      [state = state_](WindowHandle window, uint32_t message, WParam wparam,
                       LParam lparam) -> LResult {
        switch (message) {
          case kWmTimer:
            Tick(*state);
            return 0;
          case kSetEnabledMessage:
            ApplyEnabled(*state, wparam == 1);
            return 0;
          case kDestroyWindowMessage:
            DestroyMessageWindow(window);
            return 0;
          default:
            return DefaultWindowProcedure(window, message, wparam, lparam);
        }
      });
}

TkivTimerEx::~TkivTimerEx() {
  const bool onOwner = CurrentThreadId() == ownerThread_;
  const WindowHandle window = state_->window;
  // Switch off on the owner first, so no tick starts while the component goes away.
  if (window != 0 && !onOwner) {
    SendMessageWithTimeout(window, kSetEnabledMessage, 0, 0, kOwnerWaitMs);
  }
  {
    std::lock_guard lock(state_->mutex);
    state_->onTimer = nullptr;
    state_->component = nullptr;
  }
  state_->enabled = false;
  Update(*state_);  // only kills: nothing is left to start
  if (window == 0) return;
  // On the owner a tick in progress is the caller's own: a handler freeing its timer.
  if (onOwner) {
    DestroyMessageWindow(window);
    return;
  }
  DestroyOnOwner(window);
  WaitForTicksInProgress(*state_);
}

bool TkivTimerEx::Enabled() const { return state_->enabled.load(); }

void TkivTimerEx::SetEnabled(bool value) {
  if (CurrentThreadId() == ownerThread_) {
    ApplyEnabled(*state_, value);
    return;
  }
  // Posted even when it looks unchanged: an earlier switch may still wait in the owner's queue,
  // and the owner applies them in order, so the last call made always wins.
  PostWindowMessage(state_->window, kSetEnabledMessage, value ? 1 : 0, 0);
}

uint32_t TkivTimerEx::Interval() const { return state_->interval.load(); }

void TkivTimerEx::SetInterval(uint32_t value) {
  state_->interval = value;
  Update(*state_);
}

TkivTimerEx::TNotifyEvent TkivTimerEx::OnTimer() const {
  std::lock_guard lock(state_->mutex);
  return state_->onTimer;
}

void TkivTimerEx::SetOnTimer(TNotifyEvent handler) {
  {
    std::lock_guard lock(state_->mutex);
    state_->onTimer = std::move(handler);
  }
  Update(*state_);
}

WindowHandle TkivTimerEx::Window() const { return state_->window; }

}  // namespace chronel::platform
