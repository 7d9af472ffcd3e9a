#include "ui/speed_button.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TSpeedButton::StaticClassInfo() {
  static const TClassInfo info("TSpeedButton", &TControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TSpeedButton::caption_),
                                   Published("Down", &TSpeedButton::down_),
                                   Published("GroupIndex", &TSpeedButton::groupIndex_),
                                   Published("AllowAllUp", &TSpeedButton::allowAllUp_),
                                   Published("Flat", &TSpeedButton::flat_),
                                   Published("OnClick", &TSpeedButton::onClick_),
                               },
                               {}, ComponentFactory<TSpeedButton>);
  return info;
}

void TSpeedButton::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  ViewChanged();
}

void TSpeedButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  ViewChanged();
}

void TSpeedButton::SetToggleStyle(int32_t groupIndex, bool allowAllUp, bool flat) {
  groupIndex_ = groupIndex;
  allowAllUp_ = allowAllUp;
  flat_ = flat;
}

void TSpeedButton::Click() {
  if (Enabled()) onClick_(*this);
}

}  // namespace chronel
