#include "platform/thread.h"

#include <errno.h>
#include <limits.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "core/exception.h"
#include "platform/application.h"

namespace chronel::platform {

struct Thread::Control {
  std::function<void()> body;
  pthread_t handle{};
  std::mutex mutex;
  std::condition_variable changed;
  ThreadId id = 0;
  bool ended = false;
};

namespace {

void* ThreadMain(void* argument) {
  // The start argument owns one reference, so the control outlives a detached thread's owner.
  std::shared_ptr<Thread::Control> control(
      std::move(*static_cast<std::shared_ptr<Thread::Control>*>(argument)));
  delete static_cast<std::shared_ptr<Thread::Control>*>(argument);
  {
    std::lock_guard lock(control->mutex);
    control->id = CurrentThreadId();
  }
  control->changed.notify_all();
  try {
    control->body();
  } catch (...) {
    HandleApplicationException(std::current_exception());
  }
  control->body = nullptr;  // captured state goes with the thread, not with its owner
  {
    std::lock_guard lock(control->mutex);
    control->ended = true;
  }
  control->changed.notify_all();
  return nullptr;
}

// Nice values for the priorities; raising above normal needs privileges on Linux.
int NiceValue(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return 19;
    case ThreadPriority::Lowest: return 10;
    case ThreadPriority::BelowNormal: return 5;
    case ThreadPriority::Normal: return 0;
    case ThreadPriority::AboveNormal: return -5;
    case ThreadPriority::Highest: return -10;
    case ThreadPriority::TimeCritical: return -20;
  }
  return 0;
}

}  // namespace

ThreadId CurrentThreadId() { return static_cast<ThreadId>(gettid()); }

bool SetCurrentThreadPriority(ThreadPriority priority) {
  // On Linux a thread's nice value is its own (the tid addresses one thread).
  return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), NiceValue(priority)) == 0;
}

void SleepMilliseconds(uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1'000'000};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

Thread Thread::Start(std::function<void()> body, std::size_t stackSize) {
  auto control = std::make_shared<Control>();
  control->body = std::move(body);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  const long minimum = sysconf(_SC_THREAD_STACK_MIN);
  pthread_attr_setstacksize(&attributes,
                            std::max<std::size_t>(stackSize, minimum > 0 ? minimum : PTHREAD_STACK_MIN));
  auto* argument = new std::shared_ptr<Control>(control);
  const int error = pthread_create(&control->handle, &attributes, &ThreadMain, argument);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete argument;
    throw Exception("Cannot start a thread (error " + std::to_string(error) + ")");
  }
  std::unique_lock lock(control->mutex);
  control->changed.wait(lock, [&] { return control->id != 0; });
  lock.unlock();
  return Thread(std::move(control));
}

Thread::~Thread() {
  if (Joinable()) Join();
}

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    if (Joinable()) Join();
    control_ = std::move(other.control_);
  }
  return *this;
}

ThreadId Thread::Id() const { return control_ ? control_->id : 0; }

bool Thread::WaitFor(uint32_t timeoutMs) const {
  if (!control_) return true;
  std::unique_lock lock(control_->mutex);
  return control_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return control_->ended; });
}

void Thread::Join() {
  if (!control_) return;
  pthread_join(control_->handle, nullptr);
  control_.reset();
}

void Thread::Detach() {
  if (!control_) return;
  pthread_detach(control_->handle);
  control_.reset();
}

}  // namespace chronel::platform
