#include "platform/thread.h"

#include <process.h>

#include <string>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

struct Thread::Control {
  std::function<void()> body;
  HANDLE handle = nullptr;
  ThreadId id = 0;
};

namespace {

unsigned __stdcall ThreadMain(void* argument) {
  // The start argument owns one reference, so the control outlives a detached thread's owner.
  std::shared_ptr<Thread::Control> control(
      std::move(*static_cast<std::shared_ptr<Thread::Control>*>(argument)));
  delete static_cast<std::shared_ptr<Thread::Control>*>(argument);
  try {
    control->body();
  } catch (...) {
    HandleApplicationException(std::current_exception());
  }
  control->body = nullptr;  // captured state goes with the thread, not with its owner
  return 0;
}

int Win32Priority(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case ThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case ThreadPriority::BelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::Normal: return THREAD_PRIORITY_NORMAL;
    case ThreadPriority::AboveNormal: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}

}  // namespace

ThreadId CurrentThreadId() { return GetCurrentThreadId(); }

bool SetCurrentThreadPriority(ThreadPriority priority) {
  return SetThreadPriority(GetCurrentThread(), Win32Priority(priority)) != 0;
}

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

Thread Thread::Start(std::function<void()> body, std::size_t stackSize) {
  auto control = std::make_shared<Control>();
  control->body = std::move(body);
  auto* argument = new std::shared_ptr<Control>(control);
  unsigned id = 0;
  // Suspended until the handle and id are stored, so the body never races their writes.
  // The stack size is a reservation: thousands of such threads fit a 32-bit address space.
  const uintptr_t handle =
      _beginthreadex(nullptr, static_cast<unsigned>(stackSize), &ThreadMain, argument,
                     CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, &id);
  if (handle == 0) {
    delete argument;
    throw Exception("Cannot start a thread (error " + std::to_string(errno) + ")");
  }
  control->handle = reinterpret_cast<HANDLE>(handle);
  control->id = id;
  ResumeThread(control->handle);
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
  return WaitForSingleObject(control_->handle, timeoutMs) == WAIT_OBJECT_0;
}

void Thread::Join() {
  if (!control_) return;
  WaitForSingleObject(control_->handle, INFINITE);
  CloseHandle(control_->handle);
  control_.reset();
}

void Thread::Detach() {
  if (!control_) return;
  CloseHandle(control_->handle);
  control_.reset();
}

}  // namespace chronel::platform
