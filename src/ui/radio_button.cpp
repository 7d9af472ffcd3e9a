#include "ui/radio_button.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TRadioButton::StaticClassInfo() {
  static const TClassInfo info("TRadioButton", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TRadioButton::caption_),
                                   Published("Checked", &TRadioButton::checked_),
                                   Published("OnClick", &TRadioButton::onClick_),
                               },
                               {}, ComponentFactory<TRadioButton>);
  return info;
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked) UncheckSiblings();
  ViewChanged();
}

void TRadioButton::UncheckSiblings() {
  if (Parent() == nullptr) return;
  for (TControl* control : Parent()->Controls()) {
    auto* sibling = dynamic_cast<TRadioButton*>(control);
    if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
  }
}

void TRadioButton::Click() {
  if (!Enabled()) return;
  SetChecked(true);
  onClick_(*this);
}

}  // namespace chronel
