#include "platform/module_info.h"

namespace chronel::platform {

ModuleHandle OwnModule() { return ModuleContaining(reinterpret_cast<const void*>(&OwnModule)); }

}  // namespace chronel::platform
