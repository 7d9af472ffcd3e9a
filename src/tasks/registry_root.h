// The registry roots a settings location can name.
#pragma once

#include <cstdint>
#include <optional>

#include "core/enumeration.h"
#include "platform/registry.h"

namespace chronel {

enum class TRegistryRoot : uint8_t {
  rrHKEY_CLASSES_ROOT,
  rrHKEY_CURRENT_USER,
  rrHKEY_LOCAL_MACHINE,
  rrHKEY_USERS,
  rrHKEY_CURRENT_CONFIG,
  rrNone,  // no root: never used
};
const TEnumInfo& RegistryRootInfo();

// The settings storage keeps settings under the current user or the machine; the other roots
// cannot be used and answer nothing, like rrNone.
std::optional<platform::RegistryRoot> SettingsRoot(TRegistryRoot root);

}  // namespace chronel
