// The root of every object that publishes properties: it knows its class, and through it the
// class's name, ancestors, published properties and published methods.
#pragma once

#include <string>
#include <string_view>

namespace chronel {

class TClassInfo;
class TPropertyInfo;

// Every descendant declares
//   static const TClassInfo& StaticClassInfo();
//   const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
// and builds its table in StaticClassInfo (see published_properties.h).
class TObject {
 public:
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }

  const std::string& ClassName() const;
  bool InheritsFrom(const TClassInfo& ancestor) const;

  // The published property of that name (compared without regard to case), own or inherited;
  // null / EPropertyError "Property <class>.<name> does not exist" when there is none.
  const TPropertyInfo* FindProperty(std::string_view name) const;
  const TPropertyInfo& Property(std::string_view name) const;

 protected:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
};

}  // namespace chronel
