// The registry as settings storage: a line's key is the registry path followed by its sub-keys.
#pragma once

#include <memory>
#include <string_view>

#include "tasks/registry_root.h"
#include "tasks/settings_storage.h"

namespace chronel {

// Opens `registry_path` (a leading "\" is dropped; empty is the root itself) with full access
// under `first`, else under `second`; with `create` a missing key is made. Null when neither
// root can be used. Any thread; the storage then belongs to that thread.
std::unique_ptr<TSettingsStorage> OpenRegistryStorage(TRegistryRoot first, TRegistryRoot second,
                                                      std::string_view registry_path,
                                                      bool create);

}  // namespace chronel
