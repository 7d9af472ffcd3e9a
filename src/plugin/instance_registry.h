// The registry of live instances, one per InstanceID of the host's call blocks, and the class
// the framework makes them from.
#pragma once

#include <functional>
#include <memory>

#include "plugin/call_block.h"
#include "plugin/plugin.h"

namespace chronel::plugin {

// Builds a fully created instance (declaration loaded, creation handler run).
using TPluginClass = std::unique_ptr<TkivPlugin> (*)(const TPluginCallRec* block);

template <typename T>
std::unique_ptr<TkivPlugin> CreatePlugin(const TPluginCallRec* block) {
  auto plugin = std::make_unique<T>(block);
  plugin->FinishCreate();
  return plugin;
}

// TkivPlugin until a plug-in registers its own class.
void RegisterPluginClass(TPluginClass pluginClass);

// Holds an instance for the length of one host call: an instance released by another thread
// meanwhile is freed only when the last call that holds it returns.
using TInstanceRef = std::shared_ptr<TkivPlugin>;

// The instance named by the block's InstanceID, created on the first call for it; none for
// InstanceID 0, after the registry was closed, when the block releases the instance (Release
// 0xFF: it is taken out of the registry and freed), and when its creation raised.
TInstanceRef FindInstance(const TPluginCallRec* block);

// Calls `visit` for every live instance, under the registry's shared lock.
void ForEachInstance(const std::function<void(TkivPlugin&)>& visit);

}  // namespace chronel::plugin
