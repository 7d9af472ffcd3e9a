#include "ui/button_control.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TButtonControl::StaticClassInfo() {
  static const TClassInfo info("TButtonControl", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TButtonControl::caption_),
                                   Published("Checked", &TButtonControl::checked_),
                                   Published("OnClick", &TButtonControl::onClick_),
                               });
  return info;
}

void TButtonControl::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  ViewChanged();
}

void TButtonControl::Click() {
  if (!Enabled()) return;
  SetChecked(CheckedAfterClick());
  onClick_(*this);
}

}  // namespace chronel
