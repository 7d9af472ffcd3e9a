// The host's own icon, loaded once for all instances that have a host module and freed when the
// last of them unloads. The options dialog shows it.
#pragma once

#include "platform/module_info.h"
#include "platform/window_info.h"

namespace chronel::plugin {

// Counts one more user; the first loads the icon resource "MAINICON" of `hostModule`.
void AcquireHostIcon(platform::ModuleHandle hostModule);
// Counts one user less (every UNLOAD does); the last frees the icon.
void ReleaseHostIcon();
// 0 while no icon is loaded.
platform::IconHandle HostIcon();

}  // namespace chronel::plugin
