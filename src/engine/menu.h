// Menus and menu items. The data module's action menu is one that is never shown: each item
// under "Actions" names an action by its component name and shows its caption, and its child
// item describes the action's argument by caption and Tag.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/component.h"

namespace chronel {

class TMenu;

// Not thread-safe, like every component.
class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  // Frees its sub-items (whoever owns them) and leaves its parent item.
  ~TMenuItem() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }

  // Sub-items in menu order.
  std::span<TMenuItem* const> Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Parent() const { return parent_; }
  int IndexOf(const TMenuItem& item) const;
  // Moves `item` here from wherever it was, at the end; it is freed with this item unless it is
  // freed or removed before. Raises EComponentError when the item would end up inside itself.
  void Add(TMenuItem& item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem& item);

  bool HasParent() const override { return true; }
  // A menu (its top level) or another item.
  void SetParentComponent(TComponent& parent) override;

 private:
  std::string caption_;
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The unnamed item whose sub-items are the menu's top level.
  TMenuItem& Items() { return *items_; }
  const TMenuItem& Items() const { return *items_; }

 private:
  std::unique_ptr<TMenuItem> items_;
};

// A menu that pops up where it is asked to; the data module's action menu never does.
class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace chronel
