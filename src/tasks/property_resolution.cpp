#include "tasks/property_resolution.h"

#include <vector>

#include "core/application.h"
#include "core/component.h"
#include "core/form.h"
#include "core/property.h"
#include "core/text.h"
#include "tasks/proxy_code_object.h"

namespace chronel {
namespace {

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t dot; (dot = path.find('.', start)) != std::string_view::npos; start = dot + 1) {
    parts.emplace_back(path.substr(start, dot - start));
  }
  parts.emplace_back(path.substr(start));
  return parts;
}

std::string Joined(const std::vector<std::string>& parts, size_t from, std::string_view glue) {
  std::string text;
  for (size_t i = from; i < parts.size(); ++i) {
    if (i > from) text += glue;
    text += parts[i];
  }
  return text;
}

TForm* ApplicationForm(std::string_view name) {
  return dynamic_cast<TForm*>(Application().FindComponent(name));
}

void SetProperty(TResolvedProperty& result, TObject& object, std::string name) {
  result.Object = &object;
  result.Name = std::move(name);
  result.Info = object.FindProperty(result.Name);
  result.Kind = result.Info ? TypeKindOf(result.Info->Kind()) : TTypeKind::tkUnknown;
}

// Walks `parts` (at least one) from `start` by owned components.
TComponent* WalkComponents(TComponent* start, const std::vector<std::string>& parts,
                           size_t from) {
  for (size_t i = from; start != nullptr && i < parts.size(); ++i) {
    start = start->FindComponent(parts[i]);
  }
  return start;
}

}  // namespace

TResolvedProperty ResolveProperty(std::string_view path, TObject* root) {
  const std::vector<std::string> parts = SplitPath(path);
  TResolvedProperty result;
  size_t next = 0;
  TObject* current = parts.size() > 2 ? ApplicationForm(parts[0]) : nullptr;
  if (current != nullptr) ++next;
  if (current == nullptr) current = root != nullptr ? root : Application().MainForm();
  result.Start = dynamic_cast<TComponent*>(current);
  if (current == nullptr) {
    result.Name = Joined(parts, next, ".");
    return result;
  }
  if (dynamic_cast<TProxyCodeCustomObject*>(current) != nullptr) {
    SetProperty(result, *current, Joined(parts, next, "_"));
    return result;
  }
  if (parts.size() - next > 1) {
    auto* owner = dynamic_cast<TComponent*>(current);
    TComponent* owned = owner != nullptr ? owner->FindComponent(parts[next]) : nullptr;
    if (owned != nullptr) {
      current = owned;
      ++next;
    }
  }
  SetProperty(result, *current, parts[next++]);
  while (next < parts.size() && result.Info != nullptr && result.Info->IsObjectKind()) {
    TObject* inner = result.Info->GetObject(*current);
    if (inner == nullptr) {  // a reference to nothing: no object to work on
      result = TResolvedProperty{nullptr, Joined(parts, next, "."), nullptr,
                                 TTypeKind::tkUnknown, result.Start};
      return result;
    }
    current = inner;
    SetProperty(result, *current, parts[next++]);
  }
  if (next < parts.size()) {  // more parts after a property without parts of its own
    result.Info = nullptr;
    result.Kind = TTypeKind::tkUnknown;
  }
  return result;
}

std::string ComponentNamePath(const TComponent& component) {
  std::string path = component.Name();
  for (const TComponent* owner = component.Owner(); owner != nullptr; owner = owner->Owner()) {
    const std::string name = owner == &Application() ? "Application" : owner->Name();
    path = name + "." + path;
  }
  return path;
}

TComponent* FindComponentByPath(std::string_view path, TComponent* start) {
  const std::vector<std::string> parts = SplitPath(path);
  if (parts.size() > 1 && SameTextAscii(parts[0], "Application")) {
    return WalkComponents(&Application(), parts, 1);
  }
  // The path starts with the outermost owner's name, which may be the start itself.
  if (start != nullptr && SameTextAscii(start->Name(), parts[0])) {
    if (parts.size() == 1) return start;
    if (TComponent* found = WalkComponents(start, parts, 1)) return found;
  }
  if (TComponent* found = WalkComponents(start, parts, 0)) return found;
  return WalkComponents(&Application(), parts, 0);
}

}  // namespace chronel
