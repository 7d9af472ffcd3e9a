// The kind of a stored item, as the property store and its BeforeProcessItem handler see it.
#pragma once

#include <cstdint>

#include "core/property.h"

namespace chronel {

enum class TTypeKind : uint8_t {
  tkUnknown,  // none: not stored
  tkInteger,
  tkChar,
  tkEnumeration,  // Boolean included
  tkFloat,
  tkString,
  tkSet,
  tkClass,  // an object: a string list or a component reference is stored
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  // Kinds the store never stores:
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
};

TTypeKind TypeKindOf(TPropertyKind kind);

// Whether values of the kind are read and written at all.
bool IsStoredKind(TTypeKind kind);
// Character and string kinds: stored as encoded text.
bool IsTextKind(TTypeKind kind);

}  // namespace chronel
