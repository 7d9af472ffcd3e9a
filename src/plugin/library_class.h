// The class the library's instances are made of. The framework asks for it once, on the host's
// first call; the plug-in built on the framework defines it, so loading the library runs
// nothing.
#pragma once

#include "plugin/instance_registry.h"

namespace chronel::plugin {

TPluginClass LibraryPluginClass();

}  // namespace chronel::plugin
