// Test support: a thread that owns one message window and pumps until it is stopped, and small
// timing helpers for tests that must really wait.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/thread.h"

namespace chronel::platform::testing {

using Procedure = WindowProcedure;

class PumpingThread {
 public:
  // `procedure` handles the window's messages on the new thread; unset answers 0 to everything.
  explicit PumpingThread(Procedure procedure = {}) {
    std::promise<void> ready;
    auto started = ready.get_future();
    thread_ = std::thread([this, procedure = std::move(procedure), &ready]() mutable {
      id_ = CurrentThreadId();
      window_ = CreateMessageWindow(
          [procedure = std::move(procedure)](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
            return procedure ? procedure(w, m, wp, lp) : LResult{0};
          });
      ready.set_value();
      RunMessageLoop([this] { return stop_.load(); });
      DestroyMessageWindow(window_);
    });
    started.wait();
  }
  ~PumpingThread() { Stop(); }

  void Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    PostWindowMessage(window_, kWmNull, 0, 0);
    thread_.join();
  }

  WindowHandle Window() const { return window_; }
  ThreadId Id() const { return id_; }

 private:
  std::atomic<bool> stop_{false};
  WindowHandle window_ = 0;
  ThreadId id_ = 0;
  std::thread thread_;
};

// Milliseconds since construction, by the real steady clock.
class Stopwatch {
 public:
  long long Ms() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Pumps the calling thread's messages until `done()` or `timeoutMs`; answers done().
inline bool PumpUntil(const std::function<bool()>& done, long long timeoutMs = 5000) {
  Stopwatch watch;
  while (!done() && watch.Ms() < timeoutMs) {
    ProcessMessages();
    WaitForMessages(10);
  }
  return done();
}

// Pumps the calling thread's messages for about `ms`.
inline void PumpFor(long long ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace chronel::platform::testing
