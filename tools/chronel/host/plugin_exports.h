// The twelve functions a host calls in the plug-in library, found by name after loading it.
// The host never links the plug-in: every call goes through these addresses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/dynamic_library.h"
#include "plugin/call_block.h"

// The plug-in's calling convention: stdcall on 32-bit Windows (a no-op elsewhere).
#if defined(_WIN32)
#define CHRONEL_HOST_STDCALL __stdcall
#else
#define CHRONEL_HOST_STDCALL
#endif

namespace chronel::host {

enum class PluginExport : size_t {
  GetPluginIntfVersion,
  GetAppMinVersion,
  GetModuleDescription,
  GetModuleType,
  MultiThreadSupport,
  GetCustomCommands,
  GetLogEx,
  ShowOptionsDialog,
  ExecutePluginCommand,
  GetData,
  GetEvents,
  ProcessData,
};
inline constexpr size_t kPluginExportCount = 12;

inline constexpr std::array<std::string_view, kPluginExportCount> kPluginExportNames = {
    "GetPluginIntfVersion", "GetAppMinVersion",  "GetModuleDescription", "GetModuleType",
    "MultiThreadSupport",   "GetCustomCommands", "GetLogEx",             "ShowOptionsDialog",
    "ExecutePluginCommand", "GetData",           "GetEvents",            "ProcessData"};

// The signatures, by result type. All but GetPluginIntfVersion take the call block.
using VersionFunction = int32_t(CHRONEL_HOST_STDCALL*)();
using IntegerFunction = int32_t(CHRONEL_HOST_STDCALL*)(plugin::TPluginCallRec*);
using FloatFunction = float(CHRONEL_HOST_STDCALL*)(plugin::TPluginCallRec*);
using TextFunction = const char*(CHRONEL_HOST_STDCALL*)(plugin::TPluginCallRec*);
// A one-byte Boolean: only the low byte of the result register is defined.
using BooleanFunction = uint32_t(CHRONEL_HOST_STDCALL*)(plugin::TPluginCallRec*);
using VoidFunction = void(CHRONEL_HOST_STDCALL*)(plugin::TPluginCallRec*);

// The exports of one loaded library; a missing one is null. Any thread.
class TPluginExports {
 public:
  explicit TPluginExports(const platform::DynamicLibrary& library);

  bool Has(PluginExport which) const { return Address(which) != nullptr; }
  void* Address(PluginExport which) const { return addresses_[static_cast<size_t>(which)]; }
  template <typename Function>
  Function As(PluginExport which) const {
    return reinterpret_cast<Function>(Address(which));
  }

 private:
  std::array<void*, kPluginExportCount> addresses_{};
};

inline std::string_view NameOf(PluginExport which) {
  return kPluginExportNames[static_cast<size_t>(which)];
}

}  // namespace chronel::host
