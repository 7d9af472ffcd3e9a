#include "engine/menu.h"

#include <algorithm>

#include "core/published_properties.h"

namespace chronel {

TMenuItem::~TMenuItem() {
  // Each sub-item leaves this list as it is freed.
  while (!items_.empty()) delete items_.front();
  if (parent_ != nullptr) parent_->Remove(*this);
}

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo info("TMenuItem", &TComponent::StaticClassInfo(),
                               {Published("Caption", &TMenuItem::caption_)}, {},
                               ComponentFactory<TMenuItem>);
  return info;
}

int TMenuItem::IndexOf(const TMenuItem& item) const {
  const auto found = std::find(items_.begin(), items_.end(), &item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TMenuItem::Add(TMenuItem& item) {
  for (const TMenuItem* above = this; above != nullptr; above = above->parent_) {
    if (above == &item) {
      throw EComponentError("Menu item " + item.Name() + " cannot be placed inside itself");
    }
  }
  if (item.parent_ != nullptr) item.parent_->Remove(item);
  item.parent_ = this;
  items_.push_back(&item);
}

void TMenuItem::Remove(TMenuItem& item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  items_.erase(items_.begin() + index);
  item.parent_ = nullptr;
}

void TMenuItem::SetParentComponent(TComponent& parent) {
  if (auto* menu = dynamic_cast<TMenu*>(&parent)) {
    menu->Items().Add(*this);
    return;
  }
  if (auto* item = dynamic_cast<TMenuItem*>(&parent)) {
    item->Add(*this);
    return;
  }
  TComponent::SetParentComponent(parent);  // refuses
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {}

TMenu::~TMenu() = default;

const TClassInfo& TMenu::StaticClassInfo() {
  static const TClassInfo info("TMenu", &TComponent::StaticClassInfo(), {});
  return info;
}

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo info("TPopupMenu", &TMenu::StaticClassInfo(), {}, {},
                               ComponentFactory<TPopupMenu>);
  return info;
}

}  // namespace chronel
