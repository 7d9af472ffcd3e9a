// One published property of a class: its name, its kind and the typed reads and writes that work
// on any object of the class. The property store, the translator and form loading use only
// this interface; classes build their properties with published_properties.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <variant>

#include "core/event.h"
#include "core/exception.h"
#include "core/variant.h"

namespace chronel {

class TClassInfo;
class TEnumInfo;
class TObject;

enum class TPropertyKind : uint8_t {
  Integer,
  Float,
  Enumeration,  // Boolean included
  Set,
  String,
  StringList,  // an owned TStringList
  Collection,  // an owned TCollection: items with their own published properties
  Object,      // another owned object with published properties (a font)
  Component,   // a reference to a component, or none
  Variant,
  Method,  // a handler
};

// "integer", "string list", ... for messages.
const char* KindName(TPropertyKind kind);

// Misuse of a property: unknown name, wrong kind, read-only, a value that does not fit.
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
};

// A value on its way between TPropertyInfo and a class's accessors: int64_t for Integer,
// Enumeration (the ordinal) and Set (the bit mask); double; std::string; TObject* for the object
// kinds; TVariant; TMethod.
using TPropertyValue = std::variant<int64_t, double, std::string, TObject*, TVariant, TMethod>;

// Reads and writes one property of one class. Set receives only values that TPropertyInfo has
// already checked against the kind, range, class or handler type.
class TPropertyAccess {
 public:
  virtual ~TPropertyAccess() = default;
  virtual TPropertyValue Get(const TObject& object) const = 0;
  virtual void Set(TObject& object, const TPropertyValue& value) const = 0;
};

// The facts about a property that its C++ type fixes.
struct TPropertyTraits {
  TPropertyKind Kind = TPropertyKind::Integer;
  bool Writable = false;
  const TEnumInfo* Enum = nullptr;  // Enumeration, Set
  // Object kinds. A function, since a class may refer to components of its own class.
  const TClassInfo& (*ValueClass)() = nullptr;
  int64_t Min = 0, Max = 0;                     // Integer
  const std::type_info* HandlerType = nullptr;  // Method: the handler's std::function type
};

class TPropertyInfo {
 public:
  TPropertyInfo(std::string name, TPropertyTraits traits,
                std::shared_ptr<const TPropertyAccess> access);

  const std::string& Name() const { return name_; }
  // "TMenuItem.Caption".
  std::string FullName() const;
  TPropertyKind Kind() const { return traits_.Kind; }
  bool IsWritable() const { return traits_.Writable; }
  // The value names of an enumeration or of the members of a set; null for other kinds.
  const TEnumInfo* EnumInfo() const { return traits_.Enum; }
  // StringList, Collection, Object: the class of the owned object. Component: the class a
  // referenced component must have. Null for other kinds.
  const TClassInfo* ValueClass() const {
    return traits_.ValueClass == nullptr ? nullptr : &traits_.ValueClass();
  }
  bool IsObjectKind() const;
  // The class that publishes the property.
  const TClassInfo& OwnerClass() const { return *owner_; }

  // Every read and write below raises EPropertyError when the object is not of the owner class,
  // the property is not of a fitting kind, a write meets a read-only property, or the value
  // does not fit (an integer out of the property's range, an unknown value name, an object of
  // another class, a handler of another signature).

  // Integer; Enumeration (the ordinal); Set (bit n stands for the member with ordinal n).
  int64_t GetOrdinal(const TObject& object) const;
  void SetOrdinal(TObject& object, int64_t value) const;
  // Enumeration by value name (Boolean: False, True); names are compared without regard to case.
  std::string GetEnumName(const TObject& object) const;
  void SetEnumName(TObject& object, std::string_view name) const;
  double GetFloat(const TObject& object) const;
  void SetFloat(TObject& object, double value) const;
  std::string GetString(const TObject& object) const;
  void SetString(TObject& object, std::string value) const;
  // The object kinds. Reading gives the owned object, or the referenced component (may be null).
  // Writing a component reference makes it refer to `value` (null for none); writing another
  // object kind copies the content of `value` into the owned object.
  TObject* GetObject(const TObject& object) const;
  void SetObject(TObject& object, TObject* value) const;
  TVariant GetVariant(const TObject& object) const;
  void SetVariant(TObject& object, TVariant value) const;
  // Method: the bound handler, unassigned when none. An unassigned value clears the handler.
  TMethod GetMethod(const TObject& object) const;
  void SetMethod(TObject& object, const TMethod& method) const;

 private:
  friend class TClassInfo;

  bool IsOrdinalKind() const;
  bool FitsOrdinal(int64_t value) const;
  void RequireInstance(const TObject& object) const;
  void RequireKind(bool fits, const char* asWhat) const;
  void RequireWritable() const;
  [[noreturn]] void RaiseInvalidValue(std::string_view detail) const;
  TPropertyValue Read(const TObject& object) const;

  std::string name_;
  TPropertyTraits traits_;
  std::shared_ptr<const TPropertyAccess> access_;
  const TClassInfo* owner_ = nullptr;  // set by the class that lists the property
};

}  // namespace chronel
