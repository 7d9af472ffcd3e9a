// A check box with a caption.
#pragma once

#include <string>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

// Not thread-safe, like every control. Code that sets Checked does not run OnClick; the user's
// click (Click) toggles the box and does.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click();

 private:
  std::string caption_;
  bool checked_ = false;
  TNotifyEvent onClick_;
};

}  // namespace chronel
