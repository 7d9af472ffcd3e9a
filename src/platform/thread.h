// Threads of our own: started with a small stack (a 32-bit process must hold thousands of
// schedule threads), with priorities and system thread ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace chronel::platform {

// The system's id of a thread (Win32 thread id, Linux tid). Never 0 for a running thread.
using ThreadId = uint32_t;

// Any thread.
ThreadId CurrentThreadId();

enum class ThreadPriority { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

// Sets the calling thread's priority. False when the system refuses (on Linux a raise needs
// privileges the process usually lacks; the thread then keeps running at its priority).
bool SetCurrentThreadPriority(ThreadPriority priority);

// Blocks the calling thread, handling nothing.
void SleepMilliseconds(uint32_t milliseconds);

inline constexpr std::size_t kSmallThreadStack = 64 * 1024;

// One thread of our own. Destroying a Thread that was neither joined nor detached joins it.
// An exception that leaves the body goes to HandleApplicationException (application.h).
// Owner methods (WaitFor, Join, Detach) are for the thread that holds the Thread object.
class Thread {
 public:
  Thread() = default;
  ~Thread();
  Thread(Thread&& other) noexcept = default;
  Thread& operator=(Thread&& other) noexcept;

  // Starts `body` on a new thread with the given stack size (the system may round it up).
  // Raises chronel::Exception when the system cannot start the thread.
  static Thread Start(std::function<void()> body, std::size_t stackSize = kSmallThreadStack);

  // True until joined or detached.
  bool Joinable() const { return static_cast<bool>(control_); }
  // The new thread's id; valid as soon as Start returned.
  ThreadId Id() const;

  // Waits at most `timeoutMs` for the body to end; true when it has ended.
  bool WaitFor(uint32_t timeoutMs) const;
  // Waits for the end and releases the thread.
  void Join();
  // Lets the thread run on alone; it cleans up after itself when the body ends.
  void Detach();

  struct Control;  // backend detail

 private:
  explicit Thread(std::shared_ptr<Control> control) : control_(std::move(control)) {}
  std::shared_ptr<Control> control_;
};

}  // namespace chronel::platform
