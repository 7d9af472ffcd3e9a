// The functions the host calls by name. Each is a thin shim: nothing it calls may let an
// exception reach the host.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define CHRONEL_STDCALL __stdcall
#else
#define CHRONEL_STDCALL
#endif

namespace chronel {

// The host's interface version that this library implements.
inline constexpr int32_t kPluginInterfaceVersion = 4;

}  // namespace chronel

extern "C" {

// Safe from any thread; needs no instance and no call block.
int32_t CHRONEL_STDCALL GetPluginIntfVersion();

}
