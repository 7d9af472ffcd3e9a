#include "ui/check_box.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo info("TCheckBox", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TCheckBox::caption_),
                                   Published("Checked", &TCheckBox::checked_),
                                   Published("OnClick", &TCheckBox::onClick_),
                               },
                               {}, ComponentFactory<TCheckBox>);
  return info;
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  ViewChanged();
}

void TCheckBox::Click() {
  if (!Enabled()) return;
  SetChecked(!checked_);
  onClick_(*this);
}

}  // namespace chronel
