// The timer component: a TkivTimerEx with published Enabled, Interval and OnTimer, so forms can
// declare one (the data module's polling timer) and bind its handler by name.
#pragma once

#include <cstdint>
#include <memory>

#include "core/component.h"
#include "core/event.h"
#include "platform/timer_ex.h"

namespace chronel {

// Created on the thread whose message pump runs its ticks (the owner thread). Enabled may be
// written from any thread (it takes effect when the owner handles it); Interval and OnTimer
// only on the owner thread. Freeing it from another thread waits for the owner (timer_ex.h).
class TTimer : public TComponent {
 public:
  // Enabled, Interval 1000, no handler (so not ticking). Raises chronel::Exception when the
  // system refuses the timer's window.
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Enabled() const { return timer_->Enabled(); }
  void SetEnabled(bool enabled) { timer_->SetEnabled(enabled); }
  uint32_t Interval() const { return timer_->Interval(); }
  // 0 stops the timer. Raises platform::EOutOfResources when the system has no timer left.
  void SetInterval(uint32_t interval) { timer_->SetInterval(interval); }
  // Runs on the owner thread at every tick with the timer as sender; its errors go to the
  // application's central handler. An unset handler stops the timer.
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

 private:
  TNotifyEvent onTimer_;
  std::unique_ptr<platform::TkivTimerEx> timer_;
};

}  // namespace chronel
