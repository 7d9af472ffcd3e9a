// A window-message timer that any thread may switch on and off; the switch is carried out on the
// thread that owns the timer, and the ticks run there while it pumps messages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/exception.h"
#include "platform/message_window.h"
#include "platform/thread.h"

namespace chronel::platform {

// The system has no timer left.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// Created on its owner thread (OwnerThread), whose message pump runs the ticks. Enabled may be
// written from any thread and the component may be destroyed from any thread; Interval and
// OnTimer are for the owner thread.
class TkivTimerEx {
 public:
  // Called on the owner thread for every tick; errors go to HandleApplicationException.
  using TNotifyEvent = std::function<void(TkivTimerEx* sender)>;

  // Window messages of the timer's window.
  static constexpr uint32_t kSetEnabledMessage = 2064;  // wparam 1 = enable, else disable
  static constexpr uint32_t kDestroyWindowMessage = 2065;
  // How long a thread other than the owner waits for the owner while destroying.
  static constexpr uint32_t kOwnerWaitMs = 5000;

  // Enabled, Interval 1000, no OnTimer (so not ticking); the window belongs to the calling
  // thread. Raises chronel::Exception when the window cannot be created.
  TkivTimerEx();
  // Any thread; from another thread it waits at most kOwnerWaitMs for each of the two steps
  // the owner must carry out (disable, destroy the window; a destroy the owner did not take,
  // because it was busy or hung, stays posted to it), and then for a tick handler still running
  // on the owner to return.
  ~TkivTimerEx();
  TkivTimerEx(const TkivTimerEx&) = delete;
  TkivTimerEx& operator=(const TkivTimerEx&) = delete;

  bool Enabled() const;
  // Any thread. On the owner thread it takes effect at once; from another thread it is posted
  // to the owner and applied when the owner handles it (a tick may come in between).
  void SetEnabled(bool value);

  uint32_t Interval() const;
  // Owner thread. 0 stops the timer. Raises EOutOfResources when the system has no timer left.
  void SetInterval(uint32_t value);

  TNotifyEvent OnTimer() const;
  // Owner thread. An empty handler stops the timer. Raises EOutOfResources like SetInterval.
  void SetOnTimer(TNotifyEvent handler);

  ThreadId OwnerThread() const { return ownerThread_; }
  WindowHandle Window() const;

  struct State;  // shared with the window procedure, which may outlive the component

 private:
  const ThreadId ownerThread_;
  std::shared_ptr<State> state_;
};

}  // namespace chronel::platform
