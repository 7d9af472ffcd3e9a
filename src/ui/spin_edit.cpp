#include "ui/spin_edit.h"

#include <algorithm>

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TSpinEdit::StaticClassInfo() {
  static const TClassInfo info("TSpinEdit", &TWinControl::StaticClassInfo(),
                               {
                                   Published("MinValue", &TSpinEdit::minValue_),
                                   Published("MaxValue", &TSpinEdit::maxValue_),
                                   Published("Value", &TSpinEdit::value_),
                               },
                               {}, ComponentFactory<TSpinEdit>);
  return info;
}

// A range of 0 ... 0 means none, as it does for the spin edits of the system's toolkits.
void TSpinEdit::SetValue(int32_t value) {
  if (minValue_ != 0 || maxValue_ != 0) value = std::clamp(value, minValue_, maxValue_);
  value_ = value;
  ViewChanged();
}

}  // namespace chronel
