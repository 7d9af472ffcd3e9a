#include "ui/align.h"

#include <algorithm>
#include <vector>

#include "core/class_info.h"
#include "core/control.h"
#include "core/property.h"
#include "ui/page_control.h"
#include "ui/panel.h"

namespace chronel {
namespace {

struct TArea {
  int32_t Left, Top, Right, Bottom;
};

// Panels announce a new size through OnResize; every other control only moves.
void Place(TControl& control, int32_t left, int32_t top, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const bool resized = width != control.Width() || height != control.Height();
  control.SetBounds(left, top, width, height);
  if (auto* panel = dynamic_cast<TPanel*>(&control); panel != nullptr && resized) {
    panel->Resize(width, height);
  }
}

std::vector<TControl*> Docked(const TWinControl& parent, TAlign align) {
  std::vector<TControl*> docked;
  for (TControl* child : parent.Controls()) {
    const bool page = dynamic_cast<const TTabSheet*>(child) != nullptr;
    const TAlign childAlign = page ? TAlign::alClient : AlignOf(*child);
    if (childAlign == align && (child->Visible() || page)) docked.push_back(child);
  }
  // Stable: controls at the same place keep the order they were placed in.
  if (align == TAlign::alTop) {
    std::stable_sort(docked.begin(), docked.end(),
                     [](const TControl* a, const TControl* b) { return a->Top() < b->Top(); });
  }
  return docked;
}

void DockChildren(TWinControl& parent, TArea area) {
  for (TControl* child : Docked(parent, TAlign::alTop)) {
    Place(*child, area.Left, area.Top, area.Right - area.Left, child->Height());
    area.Top += child->Height();
  }
  for (TControl* child : Docked(parent, TAlign::alBottom)) {
    area.Bottom -= child->Height();
    Place(*child, area.Left, area.Bottom, area.Right - area.Left, child->Height());
  }
  for (TControl* child : Docked(parent, TAlign::alLeft)) {
    Place(*child, area.Left, area.Top, child->Width(), area.Bottom - area.Top);
    area.Left += child->Width();
  }
  for (TControl* child : Docked(parent, TAlign::alRight)) {
    area.Right -= child->Width();
    Place(*child, area.Right, area.Top, child->Width(), area.Bottom - area.Top);
  }
  for (TControl* child : Docked(parent, TAlign::alClient)) {
    Place(*child, area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top);
  }
}

}  // namespace

const TEnumInfo& AlignInfo() {
  static const TEnumInfo info("TAlign",
                              {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
  return info;
}

TAlign AlignOf(const TControl& control) {
  const TPropertyInfo* align = control.ClassInfo().FindProperty("Align");
  if (align == nullptr) return TAlign::alNone;
  return static_cast<TAlign>(align->GetOrdinal(control));
}

void AlignControls(TWinControl& parent, int32_t width, int32_t height, int32_t border) {
  DockChildren(parent, {border, border, width - border, height - border});
  for (TControl* child : parent.Controls()) {
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) {
      const TPropertyInfo* border = windowed->ClassInfo().FindProperty("BorderWidth");
      AlignControls(*windowed, windowed->Width(), windowed->Height(),
                    border == nullptr ? 0 : static_cast<int32_t>(border->GetOrdinal(*windowed)));
    }
  }
}

}  // namespace chronel
