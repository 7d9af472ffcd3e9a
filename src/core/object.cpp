#include "core/object.h"

#include "core/class_info.h"

namespace chronel {

const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo info("TObject", nullptr, {});
  return info;
}

const std::string& TObject::ClassName() const { return ClassInfo().Name(); }

bool TObject::InheritsFrom(const TClassInfo& ancestor) const {
  return ClassInfo().InheritsFrom(ancestor);
}

const TPropertyInfo* TObject::FindProperty(std::string_view name) const {
  return ClassInfo().FindProperty(name);
}

const TPropertyInfo& TObject::Property(std::string_view name) const {
  const TPropertyInfo* property = FindProperty(name);
  if (property == nullptr) {
    throw EPropertyError("Property " + ClassName() + "." + std::string(name) + " does not exist");
  }
  return *property;
}

}  // namespace chronel
