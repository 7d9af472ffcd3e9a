// A check box with a caption: a click toggles it.
#pragma once

#include "ui/button_control.h"

namespace chronel {

// Not thread-safe, like every control.
class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner) : TButtonControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  bool CheckedAfterClick() const override { return !Checked(); }
};

}  // namespace chronel
