#include "ui/radio_button.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TRadioButton::StaticClassInfo() {
  static const TClassInfo info("TRadioButton", &TButtonControl::StaticClassInfo(), {}, {},
                               ComponentFactory<TRadioButton>);
  return info;
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == Checked()) return;
  TButtonControl::SetChecked(checked);
  if (checked) UncheckSiblings();
}

void TRadioButton::UncheckSiblings() {
  if (Parent() == nullptr) return;
  for (TControl* control : Parent()->Controls()) {
    auto* sibling = dynamic_cast<TRadioButton*>(control);
    if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
  }
}

}  // namespace chronel
