// Controls: components that sit inside a windowed parent and carry bounds, a hint, a font and a
// reading order; windowed controls contain other controls and carry a help context. The
// translator reads the font, the reading order and the help context.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/component.h"
#include "core/enumeration.h"
#include "core/font.h"

namespace chronel {

enum class TBiDiMode : uint8_t {
  bdLeftToRight,
  bdRightToLeft,
  bdRightToLeftNoAlign,
  bdRightToLeftReadingOnly,
};
const TEnumInfo& BiDiModeInfo();

class TWinControl;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TWinControl* Parent() const { return parent_; }
  // Null takes the control out of its parent. Raises EComponentError when the control would
  // end up inside itself.
  void SetParent(TWinControl* parent);
  bool HasParent() const override { return true; }
  // The parent must be a windowed control.
  void SetParentComponent(TComponent& parent) override;

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode) { biDiMode_ = mode; }

  // A window drawn over the control hears here that code changed the control's state (its
  // bounds, visibility, enabling, or the value a derived class holds), so it can redraw it.
  // Handlers of user input are the published events; this is only for views.
  void SetOnViewChange(std::function<void(TControl&)> listener) {
    viewChange_ = std::move(listener);
  }

 protected:
  void ViewChanged() {
    if (viewChange_) viewChange_(*this);
  }

 private:
  std::function<void(TControl&)> viewChange_;
  TWinControl* parent_ = nullptr;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string hint_;
  TFont font_;
  TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner) : TControl(owner) {}
  // Frees the controls inside it, as a window takes its child windows along.
  ~TWinControl() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The controls inside, in the order they were placed.
  std::span<TControl* const> Controls() const { return controls_; }
  int32_t HelpContext() const { return helpContext_; }
  void SetHelpContext(int32_t context) { helpContext_ = context; }

 private:
  friend class TControl;

  std::vector<TControl*> controls_;
  int32_t helpContext_ = 0;
};

}  // namespace chronel
