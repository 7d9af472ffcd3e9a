// Radio buttons: a click checks one, and checking one unchecks the other radio buttons of the
// same parent.
#pragma once

#include "ui/button_control.h"

namespace chronel {

// Not thread-safe, like every control.
class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner) : TButtonControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void SetChecked(bool checked) override;

 protected:
  bool CheckedAfterClick() const override { return true; }

 private:
  void UncheckSiblings();
};

}  // namespace chronel
