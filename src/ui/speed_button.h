// Flat toggle buttons: the day buttons of the task editor's grids. A click runs OnClick, which
// decides whether the button goes down or up.
#pragma once

#include <cstdint>
#include <string>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

// Not thread-safe, like every control.
class TSpeedButton : public TControl {
 public:
  explicit TSpeedButton(TComponent* owner) : TControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Down() const { return down_; }
  void SetDown(bool down);
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  void Click();

  int32_t GroupIndex() const { return groupIndex_; }
  bool AllowAllUp() const { return allowAllUp_; }
  bool Flat() const { return flat_; }
  void SetToggleStyle(int32_t groupIndex, bool allowAllUp, bool flat);

 private:
  std::string caption_;
  bool down_ = false;
  int32_t groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
  TNotifyEvent onClick_;
};

}  // namespace chronel
