#include "plugin/exports.h"

#include <cstring>
#include <exception>
#include <mutex>
#include <string>

#include "platform/application.h"
#include "platform/wait_while_flags.h"
#include "plugin/instance_registry.h"
#include "plugin/library_class.h"
#include "plugin/params_list.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define CHRONEL_EXPORT __attribute__((visibility("default")))
#else
#define CHRONEL_EXPORT  // Windows exports are listed in chronel.def, undecorated
#endif

using chronel::plugin::TInstanceRef;
using chronel::plugin::TPluginCallRec;

namespace chronel::plugin {
namespace {

constexpr uint32_t kBusyWaitMs = 30000;

// Every export but GetPluginIntfVersion finds its instance through here.
TInstanceRef Instance(const TPluginCallRec* block) {
  static std::once_flag registered;
  std::call_once(registered, [] { RegisterPluginClass(LibraryPluginClass()); });
  return FindInstance(block);
}

std::string MessageOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

// Hands the failure to the process's reporter and leaves a line for the host.
void ReportException(TkivPlugin* instance, const std::string& where, std::exception_ptr error) {
  try {
    platform::HandleApplicationException(error);
    if (instance) instance->AddLog(lsError, "Exception in " + where + ": " + MessageOf(error));
  } catch (...) {
    // reporting must not fail the call
  }
}

int32_t CommandExport(TPluginCallRec* block) {
  if (!IsValidCallBlock(block)) return kResultFailed;
  TInstanceRef instance;
  std::string command;
  try {
    instance = Instance(block);
    if (!instance) return kResultFailed;
    if (!IsAlive(block->ParamList)) return kResultException;  // "Invalid call parameters"
    AdoptHostLayout(block->ParamList->ClassTable);
    if (auto temporary = GivenValue(*block->ParamList, "TEMPORARY-LOAD")) {
      (void)temporary->ToBoolean();  // recorded at creation; a later value is read, not kept
    }
    const auto given = GivenValue(*block->ParamList, "COMMAND");
    if (!given) return kResultFailed;
    command = given->ToText();
    if (command.empty()) return kResultFailed;
  } catch (...) {
    return kResultException;
  }
  try {
    return instance->ExecuteCommand(command, block);
  } catch (...) {
    ReportException(instance.get(), "command " + command, std::current_exception());
    return kResultException;
  }
}

enum class TDataCall { GetData, GetEvents, ProcessData };

int32_t DataExport(TPluginCallRec* block, TDataCall call) {
  try {
    if (!IsValidCallBlock(block)) return kResultFailed;
    TInstanceRef instance = Instance(block);
    if (!instance) return kResultFailed;
    if (!platform::WaitWhileFlags(kBusyWaitMs, {&instance->Busy(), &instance->Unloaded()},
                                  false)) {
      return kResultFailed;
    }
    if (instance->Unloaded()) return kResultFailed;
    instance->Busy() = true;
    if (call != TDataCall::GetEvents) block->Out.Data = 0;
    int32_t result = kResultException;
    try {
      switch (call) {
        case TDataCall::GetData: result = instance->GetDataWorker(block); break;
        case TDataCall::GetEvents: result = instance->GetEventsWorker(block); break;
        case TDataCall::ProcessData: result = instance->ProcessDataWorker(block); break;
      }
    } catch (...) {
      result = kResultException;
    }
    instance->Busy() = false;
    return result;
  } catch (...) {
    return kResultException;
  }
}

// Copies `text` into the host's buffer when it fits; the length goes to Out.Data either way.
bool CopyToHostBuffer(TPluginCallRec* block, const std::string& text) {
  block->Out.Data = static_cast<uint32_t>(text.size());
  if (text.empty() || block->In.DataSize < 0 ||
      text.size() > static_cast<size_t>(block->In.DataSize) || block->In.Data == 0) {
    return false;
  }
  std::memcpy(reinterpret_cast<void*>(block->In.Data), text.data(), text.size());
  return true;
}

void NotifySiblings(const TkivPlugin& changed) {
  ForEachInstance([&changed](TkivPlugin& other) {
    if (&other == &changed || other.RegistryPath() != changed.RegistryPath()) return;
    if (!other.OnLoadSettingsNow) return;
    try {
      other.OnLoadSettingsNow(other);
    } catch (...) {
      // one sibling's failure does not keep the others from reloading
    }
  });
}

}  // namespace
}  // namespace chronel::plugin

using namespace chronel::plugin;

extern "C" {

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetPluginIntfVersion() {
  return chronel::kPluginInterfaceVersion;
}

CHRONEL_EXPORT float CHRONEL_STDCALL GetAppMinVersion(TPluginCallRec* block) {
  try {
    if (!block) return -1.0f;
    TInstanceRef instance = Instance(block);
    return instance ? instance->MinVersion : -1.0f;
  } catch (...) {
    return -1.0f;
  }
}

CHRONEL_EXPORT const char* CHRONEL_STDCALL GetModuleDescription(TPluginCallRec* block) {
  try {
    if (!block) return nullptr;
    TInstanceRef instance = Instance(block);
    return instance ? instance->Description.c_str() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetModuleType(TPluginCallRec* block) {
  try {
    if (!block) return 0;
    TInstanceRef instance = Instance(block);
    if (!instance) return 0;
    return static_cast<int32_t>((instance->ModuleType.Bits() & 0xFFFF) |
                                ((instance->ModuleOptions.Bits() & 0xFFFF) << 16));
  } catch (...) {
    return 0;
  }
}

CHRONEL_EXPORT bool CHRONEL_STDCALL MultiThreadSupport(TPluginCallRec* block) {
  try {
    if (!block) return false;
    TInstanceRef instance = Instance(block);
    return instance && instance->IsMultiThreadSupported;
  } catch (...) {
    return false;
  }
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetCustomCommands(TPluginCallRec* block) {
  if (!block) return 0;
  try {
    block->Out.Data = 0;
    block->Out.DataKind = kDataKindInteger;
    TInstanceRef instance = Instance(block);
    if (!instance || !instance->ModuleType.Contains(mttMenuExt)) return 0;
    const std::string text = instance->CustomCommands().Text();
    return CopyToHostBuffer(block, text) ? static_cast<int32_t>(text.size()) : 0;
  } catch (...) {
    return 0;
  }
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetLogEx(TPluginCallRec* block) {
  if (!block) return 0;
  try {
    block->Out.Data = 0;
    block->Out.DataKind = kDataKindInteger;
    TInstanceRef instance = Instance(block);
    if (!instance) return 0;
    auto lines = instance->Log().Lock();
    std::string text;
    for (const std::string& line : *lines) text += line + "\r\n";
    block->Out.Data = static_cast<uint32_t>(text.size());
    if (text.empty()) return 0;
    if (block->In.DataSize == 0) {
      lines->clear();  // a host that passes no buffer gives the lines up
      return 0;
    }
    if (!CopyToHostBuffer(block, text)) return 0;
    lines->clear();
    return static_cast<int32_t>(text.size());
  } catch (...) {
    return 0;
  }
}

CHRONEL_EXPORT void CHRONEL_STDCALL ShowOptionsDialog(TPluginCallRec* block) {
  if (!block) return;
  try {
    block->Out.DataKind = kDataKindInteger;
    block->Out.DataSize = 4;
    block->Out.Data = 2;
    TInstanceRef instance = Instance(block);
    if (!instance) return;
    if (!instance->OnShowOptionsDialog) {
      block->Out.Data = 3;
      return;
    }
    block->Out.Data = 4;
    struct DialogFlag {
      std::atomic<bool>& flag;
      ~DialogFlag() { flag = false; }
    } showing{instance->DialogShowing()};
    if (block->ParamList && IsAlive(block->ParamList)) {
      const auto held = instance->HoldCommands();
      instance->ReadDialogParameters(block);
    }
    showing.flag = true;
    bool success = false;
    try {
      instance->OnShowOptionsDialog(*instance, block, success);
    } catch (...) {
      // the outcome is what the handler left in success
    }
    block->Out.Data = success ? 1 : 0;
    if (success) NotifySiblings(*instance);
  } catch (...) {
    // nothing reaches the host
  }
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL ExecutePluginCommand(TPluginCallRec* block) {
  return CommandExport(block);
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetData(TPluginCallRec* block) {
  return DataExport(block, TDataCall::GetData);
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetEvents(TPluginCallRec* block) {
  return DataExport(block, TDataCall::GetEvents);
}

CHRONEL_EXPORT int32_t CHRONEL_STDCALL ProcessData(TPluginCallRec* block) {
  return DataExport(block, TDataCall::ProcessData);
}

}  // extern "C"
