#include "plugin/host_icon.h"

#include <atomic>

namespace chronel::plugin {
namespace {

std::atomic<int> users{0};
std::atomic<platform::IconHandle> icon{0};

}  // namespace

void AcquireHostIcon(platform::ModuleHandle hostModule) {
  if (users.fetch_add(1) != 0) return;
  icon = platform::LoadModuleIcon(hostModule, "MAINICON");
}

// Never below zero: an UNLOAD of an instance that had no host module must not stop the next
// LOAD from loading the icon.
void ReleaseHostIcon() {
  int current = users.load();
  do {
    if (current <= 0) return;
  } while (!users.compare_exchange_weak(current, current - 1));
  if (current != 1) return;
  platform::DestroyModuleIcon(icon.exchange(0));
}

platform::IconHandle HostIcon() { return icon; }

}  // namespace chronel::plugin
