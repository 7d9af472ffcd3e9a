#include "schedule/wake_signal.h"

#include <chrono>

namespace chronel {

void TWakeSignal::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
}

void TWakeSignal::Recheck() {
  {
    std::lock_guard lock(mutex_);
    recheck_ = true;
  }
  changed_.notify_all();
}

void TWakeSignal::Done() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  changed_.notify_all();
}

bool TWakeSignal::Stopped() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

TWakeSignal::TWake TWakeSignal::Wait(int64_t timeout_ms) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return stop_ || recheck_; });
  if (stop_) return TWake::wStop;
  if (!recheck_) return TWake::wTimeout;
  recheck_ = false;
  return TWake::wRecheck;
}

bool TWakeSignal::WaitForDone() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stop_ || done_; });
  if (stop_) return false;
  done_ = false;
  return true;
}

}  // namespace chronel
