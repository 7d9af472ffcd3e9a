// Components: named objects with an owner and a Tag. An owner keeps the components it owns in
// the order they were created, finds them by name and frees them, in that order, when it is
// freed itself.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/exception.h"
#include "core/object.h"

namespace chronel {

// Names that are not identifiers or not unique, components placed where they cannot go.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

// Not thread-safe: a component tree is built, changed and freed on one thread at a time.
class TComponent : public TObject {
 public:
  // With an owner, the owner frees the component; without one, whoever created it does (a
  // std::unique_ptr). Freeing an owned component directly also removes it from its owner.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Name() const { return name_; }
  // Empty, or an identifier (a letter or "_", then letters, digits and "_") that no other
  // component of the same owner has, compared without regard to case. Raises EComponentError
  // "'<name>' is not a valid component name" or "A component named <name> already exists".
  void SetName(std::string_view name);
  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  // Owned components in creation order.
  std::span<TComponent* const> Components() const { return components_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // The owned component of that name, compared without regard to case; null when none (and
  // for an empty name).
  TComponent* FindComponent(std::string_view name) const;

  // Components that sit inside another one (a menu item in its menu, a control in its panel)
  // answer true and accept their container here; the default refuses with EComponentError.
  virtual bool HasParent() const { return false; }
  virtual void SetParentComponent(TComponent& parent);

  // Set while a declaration is being loaded into the component; a property whose effect
  // depends on others waits for Loaded. EndLoading clears the flag and calls Loaded.
  bool IsLoading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  void EndLoading();

  // Expires when the component is freed; component references hold it (component_ref.h).
  std::weak_ptr<const void> Lifetime() const { return lifetime_; }

 protected:
  virtual void Loaded() {}
  // Frees the owned components in creation order. The destructor does it anyway; a class that
  // must free them while it is still whole calls it from its own destructor.
  void DestroyComponents();

 private:
  void InsertComponent(TComponent& component);
  void RemoveComponent(TComponent& component);

  std::string name_;
  int32_t tag_ = 0;
  TComponent* owner_;
  std::vector<TComponent*> components_;
  bool loading_ = false;
  std::shared_ptr<const char> lifetime_ = std::make_shared<const char>('\0');
};

}  // namespace chronel
