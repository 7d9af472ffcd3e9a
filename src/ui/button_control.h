// What check boxes and radio buttons share: a caption, a checked state and a click handler.
// The user's click (Click) changes the state as the kind of button does and runs OnClick; code
// that sets Checked does not run it.
#pragma once

#include <string>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

// Not thread-safe, like every control.
class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  virtual void SetChecked(bool checked);
  void Click();

 protected:
  // The state a click leaves: a check box toggles, a radio button is checked.
  virtual bool CheckedAfterClick() const = 0;

 private:
  std::string caption_;
  bool checked_ = false;
  TNotifyEvent onClick_;
};

}  // namespace chronel
