#include "core/form_declaration.h"

#include <functional>
#include <utility>

#include "core/collection.h"
#include "core/enumeration.h"
#include "core/property.h"
#include "core/string_list.h"
#include "core/text.h"

namespace chronel {
namespace {

[[noreturn]] void RaiseWrongValue(const TPropertyInfo& property, std::string_view expected) {
  throw EPropertyError("Invalid value for property " + property.FullName() + ": expected " +
                       std::string(expected));
}

// The object and property a dotted name leads to, through owned objects ("Font.Charset").
std::pair<TObject*, const TPropertyInfo*> ResolvePath(TObject& start, std::string_view path) {
  TObject* object = &start;
  for (size_t dot = path.find('.'); dot != std::string_view::npos; dot = path.find('.')) {
    const TPropertyInfo& step = object->Property(path.substr(0, dot));
    if (!step.IsObjectKind() || step.Kind() == TPropertyKind::Component) {
      throw EPropertyError("Property " + step.FullName() + " holds no object of its own");
    }
    object = step.GetObject(*object);
    path.remove_prefix(dot + 1);
  }
  return {object, &object->Property(path)};
}

int64_t SetBits(const TPropertyInfo& property, const std::vector<std::string>& names) {
  int64_t bits = 0;
  for (const std::string& name : names) {
    const std::optional<int64_t> ordinal = property.EnumInfo()->Ordinal(name);
    if (!ordinal) RaiseWrongValue(property, "names of " + property.EnumInfo()->TypeName());
    bits |= int64_t{1} << *ordinal;
  }
  return bits;
}

TVariant ToVariant(const TPropertyInfo& property, const TDeclaredValue& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* integer = std::get_if<int64_t>(&value)) return *integer;
  if (const auto* number = std::get_if<double>(&value)) return *number;
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  RaiseWrongValue(property, "a Boolean, a number or a string");
}

class TLoader {
 public:
  explicit TLoader(TComponent& root) : root_(root) {}

  void Load(const TFormDeclaration& declaration) {
    root_.BeginLoading();
    Guard(RootName(),
          [&] { root_.SetName(declaration.Name.empty() ? root_.Name() : declaration.Name); });
    Apply(root_, declaration.Properties, declaration.Handlers, RootName());
    for (const TComponentDeclaration& component : declaration.Components) Create(component);
    ResolveReferences();
    for (TComponent* component : loaded_) component->EndLoading();
    root_.EndLoading();
  }

 private:
  struct TReference {
    TObject* Object;
    const TPropertyInfo* Property;
    std::string Target;
    std::string Where;
  };

  std::string RootName() const { return root_.Name().empty() ? root_.ClassName() : root_.Name(); }

  // Runs `step`, turning its error into one that says where in the declaration it happened.
  static void Guard(const std::string& where, const std::function<void()>& step) {
    try {
      step();
    } catch (const EDeclarationError&) {
      throw;
    } catch (const Exception& error) {
      throw EDeclarationError("Error loading " + where + ": " + error.Message());
    }
  }

  void Create(const TComponentDeclaration& declaration) {
    const std::string where = RootName() + "." + declaration.Name;
    TComponent* component = nullptr;
    Guard(where, [&] {
      if (declaration.Class == nullptr) throw EComponentError("no class given");
      component = &declaration.Class->Create(root_);
      component->BeginLoading();
      loaded_.push_back(component);
      component->SetName(declaration.Name);
      Place(*component, declaration.Parent);
    });
    Apply(*component, declaration.Properties, declaration.Handlers, where);
  }

  void Place(TComponent& component, const std::string& parentName) {
    if (parentName.empty()) {
      if (component.HasParent()) component.SetParentComponent(root_);
      return;
    }
    TComponent* parent = root_.FindComponent(parentName);
    if (parent == nullptr) {
      throw EComponentError("its parent " + parentName + " is not declared before it");
    }
    component.SetParentComponent(*parent);
  }

  void Apply(TObject& object, const std::vector<TPropertyAssignment>& properties,
             const std::vector<THandlerBinding>& handlers, const std::string& where) {
    for (const TPropertyAssignment& assignment : properties) {
      Guard(where + "." + assignment.Name, [&] { Assign(object, assignment, where); });
    }
    for (const THandlerBinding& handler : handlers) {
      Guard(where + "." + handler.Event, [&] { Bind(object, handler); });
    }
  }

  void Assign(TObject& start, const TPropertyAssignment& assignment, const std::string& where) {
    const auto [object, property] = ResolvePath(start, assignment.Name);
    const TDeclaredValue& value = assignment.Value;
    switch (property->Kind()) {
      case TPropertyKind::Integer:
        if (!std::holds_alternative<int64_t>(value)) RaiseWrongValue(*property, "an integer");
        property->SetOrdinal(*object, std::get<int64_t>(value));
        return;
      case TPropertyKind::Float:
        if (const auto* integer = std::get_if<int64_t>(&value)) {
          property->SetFloat(*object, static_cast<double>(*integer));
          return;
        }
        if (!std::holds_alternative<double>(value)) RaiseWrongValue(*property, "a number");
        property->SetFloat(*object, std::get<double>(value));
        return;
      case TPropertyKind::Enumeration:
        if (const auto* flag = std::get_if<bool>(&value);
            flag && property->EnumInfo() == &BooleanInfo()) {
          property->SetOrdinal(*object, *flag ? 1 : 0);
          return;
        }
        if (!std::holds_alternative<std::string>(value)) RaiseWrongValue(*property, "a value name");
        property->SetEnumName(*object, std::get<std::string>(value));
        return;
      case TPropertyKind::Set:
        if (!std::holds_alternative<std::vector<std::string>>(value)) {
          RaiseWrongValue(*property, "member names");
        }
        property->SetOrdinal(*object,
                             SetBits(*property, std::get<std::vector<std::string>>(value)));
        return;
      case TPropertyKind::String:
        if (!std::holds_alternative<std::string>(value)) RaiseWrongValue(*property, "a string");
        property->SetString(*object, std::get<std::string>(value));
        return;
      case TPropertyKind::StringList:
        AssignLines(*object, *property, value);
        return;
      case TPropertyKind::Collection:
        AssignItems(*object, *property, value, where + "." + assignment.Name);
        return;
      case TPropertyKind::Object:
        throw EPropertyError("Property " + property->FullName() +
                             " takes no value of its own; set its properties by dotted names");
      case TPropertyKind::Component:
        DeferReference(*object, *property, value, where + "." + assignment.Name);
        return;
      case TPropertyKind::Variant:
        property->SetVariant(*object, ToVariant(*property, value));
        return;
      case TPropertyKind::Method:
        throw EPropertyError("Property " + property->FullName() +
                             " is a handler; handlers are bound by name in Handlers");
    }
  }

  static void AssignLines(TObject& object, const TPropertyInfo& property,
                          const TDeclaredValue& value) {
    if (!std::holds_alternative<std::vector<std::string>>(value)) {
      RaiseWrongValue(property, "lines");
    }
    TStringList lines(std::get<std::vector<std::string>>(value));
    property.SetObject(object, &lines);
  }

  void AssignItems(TObject& object, const TPropertyInfo& property, const TDeclaredValue& value,
                   const std::string& where) {
    if (!std::holds_alternative<std::vector<TItemValues>>(value)) {
      RaiseWrongValue(property, "items");
    }
    auto& collection = static_cast<TCollection&>(*property.GetObject(object));
    collection.Clear();
    const std::vector<TItemValues>& items = std::get<std::vector<TItemValues>>(value);
    for (size_t i = 0; i < items.size(); ++i) {
      Apply(collection.Add(), items[i], {}, where + "[" + std::to_string(i) + "]");
    }
  }

  void DeferReference(TObject& object, const TPropertyInfo& property, const TDeclaredValue& value,
                      const std::string& where) {
    if (!std::holds_alternative<std::string>(value)) RaiseWrongValue(property, "a component name");
    const std::string& target = std::get<std::string>(value);
    if (target.empty()) {
      property.SetObject(object, nullptr);
      return;
    }
    references_.push_back({&object, &property, target, where});
  }

  void ResolveReferences() {
    for (const TReference& reference : references_) {
      Guard(reference.Where, [&] {
        TComponent* target = SameTextAscii(reference.Target, root_.Name())
                                 ? &root_
                                 : root_.FindComponent(reference.Target);
        if (target == nullptr) throw EComponentError("no component is named " + reference.Target);
        reference.Property->SetObject(*reference.Object, target);
      });
    }
  }

  void Bind(TObject& object, const THandlerBinding& handler) {
    const auto [target, property] = ResolvePath(object, handler.Event);
    if (property->Kind() != TPropertyKind::Method) {
      throw EPropertyError("Property " + property->FullName() + " is not a handler");
    }
    const TMethodInfo* method = root_.ClassInfo().FindMethod(handler.Method);
    if (method == nullptr) {
      throw EPropertyError(root_.ClassName() + " has no published method " + handler.Method);
    }
    property->SetMethod(*target, method->Bind(root_));
  }

  TComponent& root_;
  std::vector<TComponent*> loaded_;
  std::vector<TReference> references_;
};

}  // namespace

void LoadDeclaration(TComponent& root, const TFormDeclaration& declaration) {
  TLoader(root).Load(declaration);
}

}  // namespace chronel
