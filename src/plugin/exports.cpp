#include "plugin/exports.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define CHRONEL_EXPORT __attribute__((visibility("default")))
#else
#define CHRONEL_EXPORT  // Windows exports are listed in chronel.def, undecorated
#endif

extern "C" CHRONEL_EXPORT int32_t CHRONEL_STDCALL GetPluginIntfVersion() {
  return chronel::kPluginInterfaceVersion;
}
