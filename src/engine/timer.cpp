#include "engine/timer.h"

#include <utility>

#include "core/published_properties.h"

namespace chronel {

TTimer::TTimer(TComponent* owner)
    : TComponent(owner), timer_(std::make_unique<platform::TkivTimerEx>()) {}

// The platform timer goes first: no tick can reach a handler of a half-freed component.
TTimer::~TTimer() { timer_.reset(); }

const TClassInfo& TTimer::StaticClassInfo() {
  static const TClassInfo info("TTimer", &TComponent::StaticClassInfo(),
                               {
                                   Published("Enabled", &TTimer::Enabled, &TTimer::SetEnabled),
                                   Published("Interval", &TTimer::Interval, &TTimer::SetInterval),
                                   Published("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer),
                               },
                               {}, ComponentFactory<TTimer>);
  return info;
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  if (!onTimer_) {
    timer_->SetOnTimer(nullptr);
    return;
  }
  timer_->SetOnTimer([this](platform::TkivTimerEx*) { onTimer_(*this); });
}

}  // namespace chronel
