// The functions the host calls by name. Each is a thin shim: nothing it calls may let an
// exception reach the host.
#pragma once

#include <cstdint>

#include "plugin/call_block.h"

namespace chronel {

// The host's interface version that this library implements.
inline constexpr int32_t kPluginInterfaceVersion = 4;

}  // namespace chronel

// Every export may be called from any host thread. All but GetPluginIntfVersion find (or create,
// or release) the instance the block names first; a null block answers as "no instance".
extern "C" {

// Needs no instance and no call block.
int32_t CHRONEL_STDCALL GetPluginIntfVersion();
float CHRONEL_STDCALL GetAppMinVersion(chronel::plugin::TPluginCallRec* block);
const char* CHRONEL_STDCALL GetModuleDescription(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL GetModuleType(chronel::plugin::TPluginCallRec* block);
bool CHRONEL_STDCALL MultiThreadSupport(chronel::plugin::TPluginCallRec* block);
// Copy into the host's buffer at In.Data (In.DataSize bytes) only when the text fits; the
// needed length is in Out.Data either way.
int32_t CHRONEL_STDCALL GetCustomCommands(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL GetLogEx(chronel::plugin::TPluginCallRec* block);
// The outcome is in Out.Data: 0 cancelled, 1 accepted, 2 no instance, 3 no dialog.
void CHRONEL_STDCALL ShowOptionsDialog(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL ExecutePluginCommand(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL GetData(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL GetEvents(chronel::plugin::TPluginCallRec* block);
int32_t CHRONEL_STDCALL ProcessData(chronel::plugin::TPluginCallRec* block);

}
