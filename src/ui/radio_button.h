// Radio buttons: checking one unchecks the other radio buttons of the same parent.
#pragma once

#include <string>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

// Not thread-safe, like every control. The user's click (Click) checks the button and runs
// OnClick; code that sets Checked does not run it.
class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click();

 private:
  void UncheckSiblings();

  std::string caption_;
  bool checked_ = false;
  TNotifyEvent onClick_;
};

}  // namespace chronel
