#include "core/property.h"

#include <utility>

#include "core/class_info.h"
#include "core/enumeration.h"
#include "core/object.h"

namespace chronel {

const char* KindName(TPropertyKind kind) {
  switch (kind) {
    case TPropertyKind::Integer:
      return "integer";
    case TPropertyKind::Float:
      return "floating-point number";
    case TPropertyKind::Enumeration:
      return "enumeration";
    case TPropertyKind::Set:
      return "set";
    case TPropertyKind::String:
      return "string";
    case TPropertyKind::StringList:
      return "string list";
    case TPropertyKind::Collection:
      return "collection";
    case TPropertyKind::Object:
      return "object";
    case TPropertyKind::Component:
      return "component reference";
    case TPropertyKind::Variant:
      return "variant";
    case TPropertyKind::Method:
      return "handler";
  }
  return "unknown kind";
}

TPropertyInfo::TPropertyInfo(std::string name, TPropertyTraits traits,
                             std::shared_ptr<const TPropertyAccess> access)
    : name_(std::move(name)), traits_(traits), access_(std::move(access)) {}

std::string TPropertyInfo::FullName() const {
  return owner_ == nullptr ? name_ : owner_->Name() + "." + name_;
}

bool TPropertyInfo::IsObjectKind() const {
  const TPropertyKind kind = Kind();
  return kind == TPropertyKind::StringList || kind == TPropertyKind::Collection ||
         kind == TPropertyKind::Object || kind == TPropertyKind::Component;
}

bool TPropertyInfo::IsOrdinalKind() const {
  const TPropertyKind kind = Kind();
  return kind == TPropertyKind::Integer || kind == TPropertyKind::Enumeration ||
         kind == TPropertyKind::Set;
}

bool TPropertyInfo::FitsOrdinal(int64_t value) const {
  if (Kind() == TPropertyKind::Integer) return value >= traits_.Min && value <= traits_.Max;
  if (Kind() == TPropertyKind::Enumeration) return EnumInfo()->IsValid(value);
  // A set: no bit beyond its last member.
  const int members = EnumInfo()->Count();
  return value >= 0 && (members >= 63 || value < (int64_t{1} << members));
}

void TPropertyInfo::RequireInstance(const TObject& object) const {
  if (owner_ != nullptr && object.InheritsFrom(*owner_)) return;
  throw EPropertyError("Property " + FullName() + " does not belong to class " +
                       object.ClassName());
}

void TPropertyInfo::RequireKind(bool fits, const char* asWhat) const {
  if (fits) return;
  throw EPropertyError("Property " + FullName() + " (" + KindName(Kind()) + ") is not " + asWhat);
}

void TPropertyInfo::RequireWritable() const {
  if (IsWritable()) return;
  throw EPropertyError("Property " + FullName() + " is read-only");
}

void TPropertyInfo::RaiseInvalidValue(std::string_view detail) const {
  throw EPropertyError("Invalid value for property " + FullName() + ": " + std::string(detail));
}

TPropertyValue TPropertyInfo::Read(const TObject& object) const {
  RequireInstance(object);
  return access_->Get(object);
}

int64_t TPropertyInfo::GetOrdinal(const TObject& object) const {
  RequireKind(IsOrdinalKind(), "an ordinal property");
  return std::get<int64_t>(Read(object));
}

void TPropertyInfo::SetOrdinal(TObject& object, int64_t value) const {
  RequireKind(IsOrdinalKind(), "an ordinal property");
  RequireInstance(object);
  RequireWritable();
  if (!FitsOrdinal(value)) RaiseInvalidValue(std::to_string(value));
  access_->Set(object, value);
}

std::string TPropertyInfo::GetEnumName(const TObject& object) const {
  RequireKind(Kind() == TPropertyKind::Enumeration, "an enumeration property");
  return EnumInfo()->Name(std::get<int64_t>(Read(object)));
}

void TPropertyInfo::SetEnumName(TObject& object, std::string_view name) const {
  RequireKind(Kind() == TPropertyKind::Enumeration, "an enumeration property");
  const std::optional<int64_t> ordinal = EnumInfo()->Ordinal(name);
  if (!ordinal) RaiseInvalidValue(name);
  SetOrdinal(object, *ordinal);
}

double TPropertyInfo::GetFloat(const TObject& object) const {
  RequireKind(Kind() == TPropertyKind::Float, "a floating-point property");
  return std::get<double>(Read(object));
}

void TPropertyInfo::SetFloat(TObject& object, double value) const {
  RequireKind(Kind() == TPropertyKind::Float, "a floating-point property");
  RequireInstance(object);
  RequireWritable();
  access_->Set(object, value);
}

std::string TPropertyInfo::GetString(const TObject& object) const {
  RequireKind(Kind() == TPropertyKind::String, "a string property");
  return std::get<std::string>(Read(object));
}

void TPropertyInfo::SetString(TObject& object, std::string value) const {
  RequireKind(Kind() == TPropertyKind::String, "a string property");
  RequireInstance(object);
  RequireWritable();
  access_->Set(object, std::move(value));
}

TObject* TPropertyInfo::GetObject(const TObject& object) const {
  RequireKind(IsObjectKind(), "an object property");
  return std::get<TObject*>(Read(object));
}

void TPropertyInfo::SetObject(TObject& object, TObject* value) const {
  RequireKind(IsObjectKind(), "an object property");
  RequireInstance(object);
  RequireWritable();
  if (value == nullptr && Kind() != TPropertyKind::Component) RaiseInvalidValue("none");
  if (value != nullptr && !value->InheritsFrom(*ValueClass())) {
    RaiseInvalidValue(value->ClassName() + " is not a " + ValueClass()->Name());
  }
  access_->Set(object, value);
}

TVariant TPropertyInfo::GetVariant(const TObject& object) const {
  RequireKind(Kind() == TPropertyKind::Variant, "a variant property");
  return std::get<TVariant>(Read(object));
}

void TPropertyInfo::SetVariant(TObject& object, TVariant value) const {
  RequireKind(Kind() == TPropertyKind::Variant, "a variant property");
  RequireInstance(object);
  RequireWritable();
  access_->Set(object, std::move(value));
}

TMethod TPropertyInfo::GetMethod(const TObject& object) const {
  RequireKind(Kind() == TPropertyKind::Method, "a handler property");
  return std::get<TMethod>(Read(object));
}

void TPropertyInfo::SetMethod(TObject& object, const TMethod& method) const {
  RequireKind(Kind() == TPropertyKind::Method, "a handler property");
  RequireInstance(object);
  RequireWritable();
  if (method.IsAssigned() && method.Code.type() != *traits_.HandlerType) {
    RaiseInvalidValue("method " + method.Name + " does not have the handler's parameters");
  }
  access_->Set(object, method);
}

}  // namespace chronel
