// The services a host offers the plug-in: functions exported by name from the host's own
// executable, which the plug-in finds in the module passed to it as HANDLE at LOAD. Every
// program that plays host (the chronel tool, the integration tests) links them and exports them
// (chronel_host_export_services in CMake).
//
// Threads: the plug-in may call them from any thread; each reports to the listener.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/variant.h"
#include "plugin_exports.h"

#if defined(_WIN32)
#define CHRONEL_HOST_SERVICE __declspec(dllexport)
#else
#define CHRONEL_HOST_SERVICE __attribute__((visibility("default")))
#endif

namespace chronel::host {

class TConfigTable;

// Who hears about the service calls: the host that loaded the plug-in.
class IServiceListener {
 public:
  // `notifyId` is the first argument of fSendString, the only service that names its caller.
  virtual void ServiceCalled(std::optional<uint32_t> notifyId, std::string_view what) = 0;

 protected:
  ~IServiceListener() = default;
};

// One listener per process, the latest host; null stops the reports. Any thread.
void SetServiceListener(IServiceListener* listener);
// Stops the reports only if `listener` is still the one set.
void ClearServiceListener(IServiceListener* listener);

// The configurations the services answer from (by default COM1 = 1, COM2 = 2).
TConfigTable& HostConfigurations();

}  // namespace chronel::host

extern "C" {

// Sends `text` as data of the configuration behind `notifyId`; the answer is not read.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL fSendString(uint32_t notifyId, int32_t,
                                                              int32_t, const char* text);
// Looked up by the plug-in, never called by it.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL fSendData(uint32_t notifyId, int32_t, int32_t,
                                                            const void* data);
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL fSendByte(uint32_t notifyId, int32_t, int32_t,
                                                            uint8_t value);
// The id of a configuration by its NUL-terminated UTF-16 name; an unknown name gets a new id.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL Vantrel_GetConfigID(const char16_t* name);
// Opens (1) or closes (0) a configuration's data source.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL Vantrel_StartPause(int32_t id, int32_t open);
// Stores a newly allocated OLE string (the caller frees it): the names, each ended by CR LF.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL
Vantrel_GetConfigurations(char16_t** wideStringVariable);
// Sets an option of a configuration; two characters of code 1 with a Null value start a new
// log file. The variant arrives by value and stays the caller's.
CHRONEL_HOST_SERVICE int32_t CHRONEL_HOST_STDCALL
Vantrel_SetOption(int32_t id, const char16_t* name, chronel::platform::TVarData value);

}
