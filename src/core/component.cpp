#include "core/component.h"

#include <algorithm>

#include "core/published_properties.h"
#include "core/text.h"

namespace chronel {
namespace {

bool IsIdentifierStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

bool IsValidName(std::string_view name) {
  if (name.empty()) return true;
  if (!IsIdentifierStart(name.front())) return false;
  return std::all_of(name.begin(), name.end(), IsIdentifierChar);
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->InsertComponent(*this);
}

TComponent::~TComponent() {
  lifetime_.reset();  // references to a component being freed already read none
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(*this);
}

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info("TComponent", &TObject::StaticClassInfo(),
                               {
                                   Published("Name", &TComponent::Name, &TComponent::SetName),
                                   Published("Tag", &TComponent::Tag, &TComponent::SetTag),
                               });
  return info;
}

void TComponent::SetName(std::string_view name) {
  if (name == name_) return;
  if (!IsValidName(name)) {
    throw EComponentError("'" + std::string(name) + "' is not a valid component name");
  }
  const TComponent* same = owner_ == nullptr ? nullptr : owner_->FindComponent(name);
  if (same != nullptr && same != this) {
    throw EComponentError("A component named " + std::string(name) + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : components_) {
    if (SameTextAscii(component->name_, name)) return component;
  }
  return nullptr;
}

void TComponent::SetParentComponent(TComponent& parent) {
  throw EComponentError(ClassName() + " " + name_ + " cannot be placed inside " +
                        parent.ClassName() + " " + parent.name_);
}

void TComponent::EndLoading() {
  loading_ = false;
  Loaded();
}

void TComponent::InsertComponent(TComponent& component) { components_.push_back(&component); }

void TComponent::RemoveComponent(TComponent& component) {
  const auto found = std::find(components_.begin(), components_.end(), &component);
  if (found != components_.end()) components_.erase(found);
}

void TComponent::DestroyComponents() {
  // One at a time from the front: freeing one component may free others it contains (a menu
  // frees its items), and those leave this list as they go.
  while (!components_.empty()) {
    TComponent* first = components_.front();
    components_.erase(components_.begin());
    first->owner_ = nullptr;
    delete first;
  }
}

}  // namespace chronel
