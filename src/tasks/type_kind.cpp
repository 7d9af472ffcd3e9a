#include "tasks/type_kind.h"

namespace chronel {

TTypeKind TypeKindOf(TPropertyKind kind) {
  switch (kind) {
    case TPropertyKind::Integer:
      return TTypeKind::tkInteger;
    case TPropertyKind::Float:
      return TTypeKind::tkFloat;
    case TPropertyKind::Enumeration:
      return TTypeKind::tkEnumeration;
    case TPropertyKind::Set:
      return TTypeKind::tkSet;
    case TPropertyKind::String:
      return TTypeKind::tkLString;
    case TPropertyKind::StringList:
    case TPropertyKind::Collection:
    case TPropertyKind::Object:
    case TPropertyKind::Component:
      return TTypeKind::tkClass;
    case TPropertyKind::Variant:
      return TTypeKind::tkVariant;
    case TPropertyKind::Method:
      return TTypeKind::tkMethod;
  }
  return TTypeKind::tkUnknown;
}

bool IsStoredKind(TTypeKind kind) {
  switch (kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkFloat:
    case TTypeKind::tkString:
    case TTypeKind::tkClass:
    case TTypeKind::tkWChar:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
    case TTypeKind::tkVariant:
      return true;
    case TTypeKind::tkUnknown:
    case TTypeKind::tkSet:
    case TTypeKind::tkMethod:
    case TTypeKind::tkArray:
    case TTypeKind::tkRecord:
    case TTypeKind::tkInterface:
    case TTypeKind::tkInt64:
    case TTypeKind::tkDynArray:
      return false;
  }
  return false;
}

bool IsTextKind(TTypeKind kind) {
  return kind == TTypeKind::tkChar || kind == TTypeKind::tkWChar ||
         kind == TTypeKind::tkString || kind == TTypeKind::tkLString ||
         kind == TTypeKind::tkWString;
}

}  // namespace chronel
