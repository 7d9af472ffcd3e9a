// Forms and data modules written as data: the root's own property values and handlers, then
// every component on it with its class, name, place, property values and handler names.
// Loading builds the components, all owned by the root, sets their properties and binds each
// handler by name to a published method of the root's class. The values set this way are the
// form's design values.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "core/class_info.h"
#include "core/component.h"
#include "core/exception.h"

namespace chronel {

struct TPropertyAssignment;
// The property values of one collection item.
using TItemValues = std::vector<TPropertyAssignment>;

// A value as a declaration writes it. What a property takes depends on its kind:
//   Integer: int64_t                       Float: double or int64_t
//   String: std::string                    Enumeration: the value name; a Boolean also a bool
//   Set: the member names (Members)        StringList: the lines (Lines)
//   Collection: the items (Items)          Variant: bool, int64_t, double or std::string
//   Component: the name of a component on the same root, or of the root; "" for none
// An owned object's properties are set one by one with a dotted name ("Font.Charset").
// Handlers are not values: they are bound by name in the Handlers lists.
using TDeclaredValue = std::variant<bool, int64_t, double, std::string, std::vector<std::string>,
                                    std::vector<TItemValues>>;

struct TPropertyAssignment {
  std::string Name{};  // the property, or a dotted path through owned objects
  TDeclaredValue Value{};
};

struct THandlerBinding {
  std::string Event{};   // a handler property, "OnTimer"
  std::string Method{};  // a published method of the root's class, "CheckTasksTimer"
};

struct TComponentDeclaration {
  const TClassInfo* Class = nullptr;  // ClassOf<TMenuItem>()
  std::string Name{};
  // The declared component it sits in, for components that have a place (a menu item in its
  // menu or parent item, a control in its panel); "" puts a control on the root itself. The
  // root owns the component either way.
  std::string Parent{};
  std::vector<TPropertyAssignment> Properties{};
  std::vector<THandlerBinding> Handlers{};
};

struct TFormDeclaration {
  std::string Name{};  // the root's name; "" leaves it as it is
  std::vector<TPropertyAssignment> Properties{};
  std::vector<THandlerBinding> Handlers{};
  // In creation order; a parent comes before the components that sit in it.
  std::vector<TComponentDeclaration> Components{};
};

// "Error loading <root>.<component>.<property>: <reason>".
class EDeclarationError : public Exception {
 public:
  using Exception::Exception;
};

// Builds the declared components on `root`: creates and names each one, places it, sets its
// properties in the order given, binds its handlers, then resolves component references (which
// may name components declared later). Every component, the root last, is flagged as loading
// until the end and then told it is loaded. Raises EDeclarationError; the components created
// up to then stay with the root, which its creator then frees. Runs on the root's thread.
void LoadDeclaration(TComponent& root, const TFormDeclaration& declaration);

// Spelling helpers for declared values.
inline std::vector<std::string> Lines(std::initializer_list<std::string> lines) { return lines; }
inline std::vector<std::string> Members(std::initializer_list<std::string> names) { return names; }
inline std::vector<TItemValues> Items(std::initializer_list<TItemValues> items) { return items; }

}  // namespace chronel
