// A component that holds a string list in its Strings property: the options dialog keeps its
// task lines in one ("lstTasks.Strings" in the property map), the data module its property map.
#pragma once

#include "core/component.h"
#include "core/string_list.h"

namespace chronel {

class TStringsHolder : public TComponent {
 public:
  explicit TStringsHolder(TComponent* owner) : TComponent(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TStringList& Strings() { return strings_; }
  const TStringList& Strings() const { return strings_; }

 private:
  TStringList strings_;
};

}  // namespace chronel
