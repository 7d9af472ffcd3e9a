// What a class publishes: its name, its ancestor, its published properties and methods, and for
// component classes how to create one. Each class builds one TClassInfo, once, in its
// StaticClassInfo (see published_properties.h for the builders).
#pragma once

#include <any>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/event.h"
#include "core/property.h"

namespace chronel {

class TComponent;
class TObject;

// A published method: a handler that forms bind by name when they are loaded.
class TMethodInfo {
 public:
  // `bind` makes the method's handler function for an object of the class.
  TMethodInfo(std::string name, std::function<std::any(TObject&)> bind);

  const std::string& Name() const { return name_; }
  // The method bound to `object`, which must be of the class that publishes it.
  TMethod Bind(TObject& object) const;

 private:
  std::string name_;
  std::function<std::any(TObject&)> bind_;
};

class TClassInfo {
 public:
  // Creates a component of the class owned by `owner`.
  using TFactory = TComponent& (*)(TComponent& owner);

  TClassInfo(std::string name, const TClassInfo* parent, std::vector<TPropertyInfo> properties,
             std::vector<TMethodInfo> methods = {}, TFactory factory = nullptr);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const TClassInfo& ancestor) const;

  // Inherited properties first, then the class's own, each in the order they were declared.
  std::vector<const TPropertyInfo*> Properties() const;
  // By name without regard to case; the class's own before inherited ones. Null when none.
  const TPropertyInfo* FindProperty(std::string_view name) const;
  const TMethodInfo* FindMethod(std::string_view name) const;

  // Component classes that declarations may name.
  bool CanCreate() const { return factory_ != nullptr; }
  // Raises EPropertyError for a class without a factory.
  TComponent& Create(TComponent& owner) const;

 private:
  std::string name_;
  const TClassInfo* parent_;
  std::vector<TPropertyInfo> properties_;
  std::vector<TMethodInfo> methods_;
  TFactory factory_;
};

// For declarations: ClassOf<TMenuItem>().
template <typename T>
const TClassInfo* ClassOf() {
  return &T::StaticClassInfo();
}

// Copies every writable published property from `source` to `target`, which must be of the
// same class: values, handlers and references as they are, owned objects by their content. For
// collection items and other owned objects; components have names that must stay unique.
void CopyPublishedProperties(const TObject& source, TObject& target);

}  // namespace chronel
