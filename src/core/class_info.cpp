#include "core/class_info.h"

#include <utility>

#include "core/object.h"
#include "core/text.h"

namespace chronel {

TMethodInfo::TMethodInfo(std::string name, std::function<std::any(TObject&)> bind)
    : name_(std::move(name)), bind_(std::move(bind)) {}

TMethod TMethodInfo::Bind(TObject& object) const { return {&object, name_, bind_(object)}; }

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent,
                       std::vector<TPropertyInfo> properties, std::vector<TMethodInfo> methods,
                       TFactory factory)
    : name_(std::move(name)),
      parent_(parent),
      properties_(std::move(properties)),
      methods_(std::move(methods)),
      factory_(factory) {
  for (TPropertyInfo& property : properties_) property.owner_ = this;
}

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->parent_) {
    if (info == &ancestor) return true;
  }
  return false;
}

std::vector<const TPropertyInfo*> TClassInfo::Properties() const {
  std::vector<const TPropertyInfo*> result =
      parent_ == nullptr ? std::vector<const TPropertyInfo*>{} : parent_->Properties();
  for (const TPropertyInfo& property : properties_) result.push_back(&property);
  return result;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->parent_) {
    for (const TPropertyInfo& property : info->properties_) {
      if (SameTextAscii(property.Name(), name)) return &property;
    }
  }
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->parent_) {
    for (const TMethodInfo& method : info->methods_) {
      if (SameTextAscii(method.Name(), name)) return &method;
    }
  }
  return nullptr;
}

TComponent& TClassInfo::Create(TComponent& owner) const {
  if (factory_ == nullptr) throw EPropertyError("Class " + name_ + " cannot be created by name");
  return factory_(owner);
}

namespace {

void CopyProperty(const TPropertyInfo& property, const TObject& source, TObject& target) {
  switch (property.Kind()) {
    case TPropertyKind::Integer:
    case TPropertyKind::Enumeration:
    case TPropertyKind::Set:
      property.SetOrdinal(target, property.GetOrdinal(source));
      return;
    case TPropertyKind::Float:
      property.SetFloat(target, property.GetFloat(source));
      return;
    case TPropertyKind::String:
      property.SetString(target, property.GetString(source));
      return;
    case TPropertyKind::StringList:
    case TPropertyKind::Collection:
    case TPropertyKind::Object:
    case TPropertyKind::Component:
      property.SetObject(target, property.GetObject(source));
      return;
    case TPropertyKind::Variant:
      property.SetVariant(target, property.GetVariant(source));
      return;
    case TPropertyKind::Method:
      property.SetMethod(target, property.GetMethod(source));
      return;
  }
}

}  // namespace

void CopyPublishedProperties(const TObject& source, TObject& target) {
  if (&source.ClassInfo() != &target.ClassInfo()) {
    throw EPropertyError("Cannot copy " + source.ClassName() + " to " + target.ClassName());
  }
  for (const TPropertyInfo* property : source.ClassInfo().Properties()) {
    if (property->IsWritable()) CopyProperty(*property, source, target);
  }
}

}  // namespace chronel
