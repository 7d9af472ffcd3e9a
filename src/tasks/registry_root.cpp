#include "tasks/registry_root.h"

namespace chronel {

const TEnumInfo& RegistryRootInfo() {
  static const TEnumInfo info("TRegistryRoot",
                              {"rrHKEY_CLASSES_ROOT", "rrHKEY_CURRENT_USER", "rrHKEY_LOCAL_MACHINE",
                               "rrHKEY_USERS", "rrHKEY_CURRENT_CONFIG", "rrNone"});
  return info;
}

std::optional<platform::RegistryRoot> SettingsRoot(TRegistryRoot root) {
  switch (root) {
    case TRegistryRoot::rrHKEY_CURRENT_USER:
      return platform::RegistryRoot::CurrentUser;
    case TRegistryRoot::rrHKEY_LOCAL_MACHINE:
      return platform::RegistryRoot::LocalMachine;
    case TRegistryRoot::rrHKEY_CLASSES_ROOT:
    case TRegistryRoot::rrHKEY_USERS:
    case TRegistryRoot::rrHKEY_CURRENT_CONFIG:
    case TRegistryRoot::rrNone:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace chronel
