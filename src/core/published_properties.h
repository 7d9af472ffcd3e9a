// How a class declares what it publishes: one table in its StaticClassInfo, built from member
// pointers. A property's kind follows from its C++ type:
//
//   bool                               Enumeration (False, True)
//   an enum, with its TEnumInfo        Enumeration
//   TSet<E>, with E's TEnumInfo        Set
//   other integers                     Integer, within the type's range
//   float, double                      Float
//   std::string                        String
//   TStringList                        StringList  | owned objects: writing one copies the
//   TCollection                        Collection  | content of the value into the object
//   other TObject descendants          Object      | the class owns
//   T* or TComponentRef<T>             Component (T descends from TComponent)
//   TVariant                           Variant
//   TEvent<...>                        Method
//
// A property is read and written through a data member, Published("Caption", &TMenuItem::caption_),
// or through a getter and a setter, Published("Name", &TComponent::Name, &TComponent::SetName).
// A getter alone makes the property read-only, except for owned objects.
//
//   const TClassInfo& TMenuItem::StaticClassInfo() {
//     static const TClassInfo info("TMenuItem", &TComponent::StaticClassInfo(),
//                                  {Published("Caption", &TMenuItem::caption_)},
//                                  {}, ComponentFactory<TMenuItem>);
//     return info;
//   }
//
// Handlers that forms bind by name are published methods of the form's class:
// PublishedMethod("CheckTasksTimer", &TaPlugin::CheckTasksTimer).
#pragma once

#include <any>
#include <cassert>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "core/class_info.h"
#include "core/collection.h"
#include "core/component.h"
#include "core/component_ref.h"
#include "core/enumeration.h"
#include "core/event.h"
#include "core/property.h"
#include "core/string_list.h"
#include "core/variant.h"

namespace chronel {
namespace published_detail {

template <typename Member>
struct MemberTraits;
template <typename T, typename C>
struct MemberTraits<T C::*> {
  using Class = C;
};
template <typename Member>
using ClassOfMember = typename MemberTraits<Member>::Class;
// The property's type: what the data member holds or the getter returns.
template <typename Member>
using ValueOf = std::remove_cvref_t<std::invoke_result_t<Member, ClassOfMember<Member>&>>;

template <typename V>
struct Referenced {
  using Type = void;
};
template <typename T>
struct Referenced<T*> {
  using Type = T;
};
template <typename T>
struct Referenced<TComponentRef<T>> {
  using Type = T;
};
template <typename V>
inline constexpr bool kIsReference = !std::is_void_v<typename Referenced<V>::Type>;
template <typename V>
inline constexpr bool kIsOwnedObject = !kIsReference<V> && std::is_base_of_v<TObject, V>;
template <typename V>
inline constexpr bool kNeedsNames = std::is_enum_v<V> || kIsSet<V>;
template <typename V>
inline constexpr bool kUnsupported = false;

template <typename V>
constexpr TPropertyKind KindOf() {
  if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V>) {
    return TPropertyKind::Enumeration;
  } else if constexpr (std::is_integral_v<V>) {
    static_assert(sizeof(V) < 8 || std::is_signed_v<V>, "an integer property must fit int64_t");
    return TPropertyKind::Integer;
  } else if constexpr (std::is_floating_point_v<V>) {
    return TPropertyKind::Float;
  } else if constexpr (std::is_same_v<V, std::string>) {
    return TPropertyKind::String;
  } else if constexpr (kIsSet<V>) {
    return TPropertyKind::Set;
  } else if constexpr (std::is_same_v<V, TVariant>) {
    return TPropertyKind::Variant;
  } else if constexpr (kIsEvent<V>) {
    return TPropertyKind::Method;
  } else if constexpr (kIsReference<V>) {
    static_assert(std::is_base_of_v<TComponent, typename Referenced<V>::Type>,
                  "only components can be referenced");
    return TPropertyKind::Component;
  } else if constexpr (std::is_base_of_v<TStringList, V>) {
    return TPropertyKind::StringList;
  } else if constexpr (std::is_base_of_v<TCollection, V>) {
    return TPropertyKind::Collection;
  } else if constexpr (std::is_base_of_v<TObject, V>) {
    return TPropertyKind::Object;
  } else {
    static_assert(kUnsupported<V>, "this type cannot be published");
  }
}

template <typename V>
TPropertyTraits TraitsOf(bool writable, const TEnumInfo* names) {
  TPropertyTraits traits;
  traits.Kind = KindOf<V>();
  traits.Writable = writable;
  traits.Enum = names;
  if constexpr (std::is_same_v<V, bool>) {
    traits.Enum = &BooleanInfo();
  } else if constexpr (std::is_integral_v<V>) {
    traits.Min = static_cast<int64_t>(std::numeric_limits<V>::min());
    traits.Max = static_cast<int64_t>(std::numeric_limits<V>::max());
  } else if constexpr (kIsReference<V>) {
    traits.ValueClass = &Referenced<V>::Type::StaticClassInfo;
  } else if constexpr (kIsOwnedObject<V>) {
    traits.ValueClass = &V::StaticClassInfo;
  } else if constexpr (kIsEvent<V>) {
    traits.HandlerType = &typeid(typename V::TFunction);
  }
  return traits;
}

// The getter's result as a generic value. Owned objects are handed out for writing too: a
// reflection reader may change them even when it holds the owner as const.
template <typename V, typename R>
TPropertyValue ToValue(R&& value) {
  if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V> || std::is_integral_v<V>) {
    return static_cast<int64_t>(value);
  } else if constexpr (std::is_floating_point_v<V>) {
    return static_cast<double>(value);
  } else if constexpr (kIsSet<V>) {
    return static_cast<int64_t>(value.Bits());
  } else if constexpr (kIsEvent<V>) {
    return value.ToMethod();
  } else if constexpr (kIsComponentRef<V>) {
    return static_cast<TObject*>(value.Get());
  } else if constexpr (kIsReference<V>) {
    return static_cast<TObject*>(value);
  } else if constexpr (kIsOwnedObject<V>) {
    return static_cast<TObject*>(const_cast<V*>(&value));
  } else {
    return V(value);  // std::string, TVariant
  }
}

// A checked generic value as the property's type (owned objects excepted).
template <typename V>
V FromValue(const TPropertyValue& value) {
  if constexpr (std::is_same_v<V, bool>) {
    return std::get<int64_t>(value) != 0;
  } else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>) {
    return static_cast<V>(std::get<int64_t>(value));
  } else if constexpr (std::is_floating_point_v<V>) {
    return static_cast<V>(std::get<double>(value));
  } else if constexpr (kIsSet<V>) {
    return V::FromBits(static_cast<uint64_t>(std::get<int64_t>(value)));
  } else if constexpr (kIsEvent<V>) {
    const TMethod& method = std::get<TMethod>(value);
    return method.IsAssigned() ? V(method) : V();
  } else if constexpr (kIsReference<V>) {
    return V(dynamic_cast<typename Referenced<V>::Type*>(std::get<TObject*>(value)));
  } else if constexpr (std::is_same_v<V, std::string>) {
    return std::get<std::string>(value);
  } else {
    return std::get<TVariant>(value);
  }
}

// Getter: a data member or a member function without parameters. Setter: the same data member,
// a member function taking the value, or nullptr for none.
template <typename C, typename V, typename Getter, typename Setter>
class TMemberAccess final : public TPropertyAccess {
 public:
  TMemberAccess(Getter getter, Setter setter) : getter_(getter), setter_(setter) {}

  TPropertyValue Get(const TObject& object) const override {
    // Getters are declared const or not; reading never changes the object either way.
    C& self = const_cast<C&>(static_cast<const C&>(object));
    return ToValue<V>(std::invoke(getter_, self));
  }

  void Set(TObject& object, const TPropertyValue& value) const override {
    C& self = static_cast<C&>(object);
    if constexpr (kIsOwnedObject<V>) {
      const V& source = dynamic_cast<const V&>(*std::get<TObject*>(value));
      if constexpr (std::is_member_function_pointer_v<Setter>) {
        std::invoke(setter_, self, source);
      } else {
        std::invoke(getter_, self).Assign(source);
      }
    } else if constexpr (std::is_member_object_pointer_v<Setter>) {
      std::invoke(setter_, self) = FromValue<V>(value);
    } else if constexpr (std::is_member_function_pointer_v<Setter>) {
      std::invoke(setter_, self, FromValue<V>(value));
    } else {
      assert(false && "TPropertyInfo lets no write reach a read-only property");
    }
  }

 private:
  Getter getter_;
  Setter setter_;
};

template <typename Getter, typename Setter>
TPropertyInfo MakeProperty(std::string name, Getter getter, Setter setter, const TEnumInfo* names) {
  using C = ClassOfMember<Getter>;
  using V = ValueOf<Getter>;
  static_assert(std::is_base_of_v<TObject, C>, "only TObject descendants publish properties");
  constexpr bool kWritable = !std::is_null_pointer_v<Setter> || kIsOwnedObject<V>;
  return TPropertyInfo(std::move(name), TraitsOf<V>(kWritable, names),
                       std::make_shared<const TMemberAccess<C, V, Getter, Setter>>(getter, setter));
}

}  // namespace published_detail

// A data member (read and written) or a getter alone.
template <typename Member>
  requires std::is_member_pointer_v<Member>
TPropertyInfo Published(std::string name, Member member) {
  static_assert(!published_detail::kNeedsNames<published_detail::ValueOf<Member>>,
                "an enumeration or set property needs its value names");
  if constexpr (std::is_member_object_pointer_v<Member>) {
    return published_detail::MakeProperty(std::move(name), member, member, nullptr);
  } else {
    return published_detail::MakeProperty(std::move(name), member, nullptr, nullptr);
  }
}

template <typename Getter, typename Setter>
  requires std::is_member_function_pointer_v<Getter> && std::is_member_function_pointer_v<Setter>
TPropertyInfo Published(std::string name, Getter getter, Setter setter) {
  static_assert(!published_detail::kNeedsNames<published_detail::ValueOf<Getter>>,
                "an enumeration or set property needs its value names");
  return published_detail::MakeProperty(std::move(name), getter, setter, nullptr);
}

// Enumerations and sets: the same, with the value names.
template <typename Member>
  requires std::is_member_pointer_v<Member>
TPropertyInfo Published(std::string name, Member member, const TEnumInfo& names) {
  static_assert(published_detail::kNeedsNames<published_detail::ValueOf<Member>>,
                "value names belong to enumeration and set properties");
  if constexpr (std::is_member_object_pointer_v<Member>) {
    return published_detail::MakeProperty(std::move(name), member, member, &names);
  } else {
    return published_detail::MakeProperty(std::move(name), member, nullptr, &names);
  }
}

template <typename Getter, typename Setter>
  requires std::is_member_function_pointer_v<Getter> && std::is_member_function_pointer_v<Setter>
TPropertyInfo Published(std::string name, Getter getter, Setter setter, const TEnumInfo& names) {
  static_assert(published_detail::kNeedsNames<published_detail::ValueOf<Getter>>,
                "value names belong to enumeration and set properties");
  return published_detail::MakeProperty(std::move(name), getter, setter, &names);
}

// A member function that forms may bind to a handler property of the same parameters.
template <typename C, typename... Args>
TMethodInfo PublishedMethod(std::string name, void (C::*method)(Args...)) {
  return TMethodInfo(std::move(name), [method](TObject& object) -> std::any {
    C& self = static_cast<C&>(object);
    return typename TEvent<Args...>::TFunction(
        [&self, method](Args... args) { (self.*method)(std::forward<Args>(args)...); });
  });
}

// The factory of a component class that declarations may name.
template <typename T>
TComponent& ComponentFactory(TComponent& owner) {
  return *new T(&owner);  // owned, and so freed, by `owner`
}

}  // namespace chronel
