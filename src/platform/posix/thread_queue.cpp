#include "platform/posix/thread_queue.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/clock.h"
#include "platform/posix/window_table.h"

namespace chronel::platform::posix {
namespace {

// A thread that has not looked at its queue for this long counts as hung.
constexpr uint32_t kHungMs = 5000;
// The smallest and the longest timer interval, as the system clamps them. The longest also
// keeps every deadline within the half of the tick range that the signed due test can tell
// from the past.
constexpr uint32_t kMinTimerMs = 10;
constexpr uint32_t kMaxTimerMs = 0x7FFFFFFF;
// Timer deadlines follow CurrentClock(), which a test may move at will; a waiting thread looks
// at the clock at least this often.
constexpr uint32_t kClockRecheckMs = 100;

// Hung detection is the system's judgement of a thread, not schedule time: real ticks.
uint32_t RealTicks() { return SystemClock().TickCount(); }
uint32_t TimerTicks() { return CurrentClock().TickCount(); }

bool IsDue(const WindowTimer& timer, uint32_t now) {
  return static_cast<int32_t>(now - timer.Due) >= 0;
}

void HandleSent(const std::shared_ptr<SentMessage>& message) {
  const std::optional<LResult> result =
      DispatchToWindow(message->Window, message->Message, message->WParamValue, message->LParamValue);
  message->Sender->Reply(*message, result.has_value(), result.value_or(0));
}

// Closes the queue of a thread that ends; its windows go with it, as the system's do.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    RemoveWindowsOf(*queue);
    queue->Close();
  }
};

}  // namespace

ThreadQueue::ThreadQueue(ThreadId owner) : owner_(owner), lastChecked_(RealTicks()) {}

bool ThreadQueue::Post(const PostedMessage& message) {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  posted_.push_back(message);
  wake_.notify_all();
  return true;
}

SystemErrorCode ThreadQueue::QueueSent(std::shared_ptr<SentMessage> message) {
  std::lock_guard lock(mutex_);
  if (closed_) return kErrorInvalidWindowHandle;
  if (Hung()) return kErrorTimeout;
  sent_.push_back(std::move(message));
  wake_.notify_all();
  return kErrorSuccess;
}

void ThreadQueue::Reply(SentMessage& message, bool delivered, LResult result) {
  std::lock_guard lock(mutex_);
  message.Delivered = delivered;
  message.Result = result;
  message.Done = true;
  wake_.notify_all();
}

std::optional<PumpItem> ThreadQueue::Next() {
  std::lock_guard lock(mutex_);
  lastChecked_ = RealTicks();
  if (!sent_.empty()) {
    PumpItem item{PumpItem::Kind::Sent, std::move(sent_.front())};
    sent_.pop_front();
    return item;
  }
  if (!posted_.empty()) {
    PumpItem item{PumpItem::Kind::Posted, nullptr, posted_.front()};
    posted_.pop_front();
    return item;
  }
  if (std::optional<WindowTimer> timer = TakeDueTimer(TimerTicks())) {
    return PumpItem{PumpItem::Kind::Timer, nullptr, {timer->Window, kWmTimer, timer->Id, 0}};
  }
  return std::nullopt;
}

bool ThreadQueue::WaitForWork(uint32_t timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(mutex_);
  const bool outerWaiting = std::exchange(waiting_, true);
  while (!HasWork(TimerTicks())) {
    auto step = std::chrono::milliseconds(timers_.empty() ? kNoTimeLimit
                                                          : std::min(MsUntilNextTimer(TimerTicks()),
                                                                     kClockRecheckMs));
    if (timeoutMs != kNoTimeLimit) {
      const auto left = deadline - Clock::now();
      if (left <= Clock::duration::zero()) break;
      step = std::min(step, std::chrono::ceil<std::chrono::milliseconds>(left));
    }
    wake_.wait_for(lock, step);
  }
  waiting_ = outerWaiting;
  lastChecked_ = RealTicks();
  return HasWork(TimerTicks());
}

bool ThreadQueue::WaitForReply(SentMessage& message, uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(mutex_);
  const bool outerWaiting = std::exchange(waiting_, true);
  while (!message.Done) {
    if (!sent_.empty()) {
      std::shared_ptr<SentMessage> incoming = std::move(sent_.front());
      sent_.pop_front();
      lock.unlock();
      HandleSent(incoming);
      lock.lock();
      continue;
    }
    if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && !message.Done) break;
  }
  waiting_ = outerWaiting;
  lastChecked_ = RealTicks();
  return message.Done;
}

void ThreadQueue::SetTimer(const WindowTimer& timer) {
  std::lock_guard lock(mutex_);
  WindowTimer fresh = timer;
  fresh.Interval = std::clamp(timer.Interval, kMinTimerMs, kMaxTimerMs);
  fresh.Due = TimerTicks() + fresh.Interval;
  auto same = std::find_if(timers_.begin(), timers_.end(), [&](const WindowTimer& t) {
    return t.Window == timer.Window && t.Id == timer.Id;
  });
  if (same != timers_.end()) *same = fresh;
  else timers_.push_back(fresh);
  wake_.notify_all();
}

void ThreadQueue::KillTimer(WindowHandle window, std::uintptr_t id) {
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [&](const WindowTimer& t) { return t.Window == window && t.Id == id; });
}

void ThreadQueue::KillWindowTimers(WindowHandle window) {
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [&](const WindowTimer& t) { return t.Window == window; });
}

void ThreadQueue::Close() {
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    unanswered.swap(sent_);
    posted_.clear();
    timers_.clear();
  }
  for (const auto& message : unanswered) message->Sender->Reply(*message, false, 0);
}

std::optional<WindowTimer> ThreadQueue::TakeDueTimer(uint32_t now) {
  WindowTimer* due = nullptr;
  for (WindowTimer& timer : timers_) {
    if (!IsDue(timer, now)) continue;
    if (!due || static_cast<int32_t>(timer.Due - due->Due) < 0) due = &timer;
  }
  if (!due) return std::nullopt;
  // One tick for however many intervals passed, as the system coalesces late ticks.
  due->Due = now + due->Interval;
  return *due;
}

bool ThreadQueue::HasWork(uint32_t now) const {
  return !sent_.empty() || !posted_.empty() ||
         std::any_of(timers_.begin(), timers_.end(),
                     [&](const WindowTimer& timer) { return IsDue(timer, now); });
}

uint32_t ThreadQueue::MsUntilNextTimer(uint32_t now) const {
  uint32_t soonest = kNoTimeLimit;
  for (const WindowTimer& timer : timers_) {
    const int32_t left = static_cast<int32_t>(timer.Due - now);
    soonest = std::min(soonest, static_cast<uint32_t>(std::max(left, 0)));
  }
  return soonest;
}

bool ThreadQueue::Hung() const {
  return !waiting_ && RealTicks() - lastChecked_ >= kHungMs;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local QueueHolder holder;
  if (!holder.queue) holder.queue = std::make_shared<ThreadQueue>(CurrentThreadId());
  return holder.queue;
}

void HandleItem(PumpItem& item) {
  switch (item.What) {
    case PumpItem::Kind::Sent:
      HandleSent(item.Sent);
      return;
    case PumpItem::Kind::Posted:
      DispatchToWindow(item.Posted.Window, item.Posted.Message, item.Posted.WParamValue,
                       item.Posted.LParamValue);
      return;
    case PumpItem::Kind::Timer:
      DispatchToWindow(item.Posted.Window, kWmTimer, item.Posted.WParamValue, 0);
      return;
  }
}

}  // namespace chronel::platform::posix
