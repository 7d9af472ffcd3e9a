// Finding the object and published property that a dotted property path names, and the stored
// form of component references.
#pragma once

#include <string>
#include <string_view>

#include "tasks/type_kind.h"

namespace chronel {

class TComponent;
class TObject;
class TPropertyInfo;

struct TResolvedProperty {
  // Null when no object was found: the item is then virtual, and Name is the rest of the path.
  TObject* Object = nullptr;
  std::string Name;
  const TPropertyInfo* Info = nullptr;  // null when the object publishes no such property
  TTypeKind Kind = TTypeKind::tkUnknown;
  // Where resolution started (a form of the application, or the root); component references
  // are looked up from here.
  TComponent* Start = nullptr;
};

// A path of more than two parts may start with the name of a form of the application. Otherwise
// it starts at `root` (the application's main form when null). On a proxy object the whole
// path with "." replaced by "_" is the property name. Otherwise the first of several parts may
// name a component of the starting object, and the next parts walk through object properties
// (Font.Name). Parts left over after a property that is not an object give the kind none.
// Must run on the thread that owns the components.
TResolvedProperty ResolveProperty(std::string_view path, TObject* root);

// "Application.frmOption.btnOK": the owners' names from the outermost down, the application
// object written "Application".
std::string ComponentNamePath(const TComponent& component);
// The component a stored name path names: from the application object when the path starts
// with "Application.", else from `start` and then from the application object. Null when none.
TComponent* FindComponentByPath(std::string_view path, TComponent* start);

}  // namespace chronel
