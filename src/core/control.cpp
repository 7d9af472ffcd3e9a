#include "core/control.h"

#include <algorithm>

#include "core/published_properties.h"

namespace chronel {

const TEnumInfo& BiDiModeInfo() {
  static const TEnumInfo info("TBiDiMode", {"bdLeftToRight", "bdRightToLeft",
                                            "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"});
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() { SetParent(nullptr); }

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info("TControl", &TComponent::StaticClassInfo(),
                               {
                                   Published("Left", &TControl::left_),
                                   Published("Top", &TControl::top_),
                                   Published("Width", &TControl::width_),
                                   Published("Height", &TControl::height_),
                                   Published("Visible", &TControl::visible_),
                                   Published("Enabled", &TControl::enabled_),
                                   Published("Hint", &TControl::hint_),
                                   Published("Font", &TControl::font_),
                                   Published("BiDiMode", &TControl::biDiMode_, BiDiModeInfo()),
                               });
  return info;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (const TControl* above = parent; above != nullptr; above = above->parent_) {
    if (above == this) {
      throw EComponentError("Control " + Name() + " cannot be placed inside itself");
    }
  }
  if (parent_ != nullptr) std::erase(parent_->controls_, this);
  parent_ = parent;
  if (parent_ != nullptr) parent_->controls_.push_back(this);
}

void TControl::SetParentComponent(TComponent& parent) {
  auto* windowed = dynamic_cast<TWinControl*>(&parent);
  if (windowed == nullptr) {
    TComponent::SetParentComponent(parent);  // refuses
    return;
  }
  SetParent(windowed);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  ViewChanged();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  ViewChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  ViewChanged();
}

TWinControl::~TWinControl() {
  // Each control leaves this list as it is freed.
  while (!controls_.empty()) delete controls_.front();
}

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info("TWinControl", &TControl::StaticClassInfo(),
                               {Published("HelpContext", &TWinControl::helpContext_)});
  return info;
}

}  // namespace chronel
