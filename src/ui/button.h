// Push buttons. A button that shows an action takes the action's caption and enabled state and
// executes it when clicked; a button with a modal result closes its form with that result.
#pragma once

#include <cstdint>
#include <string>

#include "core/component_ref.h"
#include "core/control.h"
#include "core/event.h"
#include "ui/action_list.h"

namespace chronel {

// Not thread-safe, like every control.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const;
  TAction* Action() const { return action_.Get(); }
  int32_t ModalResult() const { return modalResult_; }
  bool IsDefault() const { return default_; }
  bool IsCancel() const { return cancel_; }
  // What a press does: executes the action (or runs OnClick), then closes the form when the
  // button has a modal result. A disabled button does nothing.
  void Click();

 private:
  // Executes the action or runs OnClick; false when the button or its action is disabled.
  bool Press();

  std::string caption_;
  TComponentRef<TAction> action_;
  int32_t modalResult_ = 0;
  bool default_ = false;
  bool cancel_ = false;
  TNotifyEvent onClick_;
};

}  // namespace chronel
