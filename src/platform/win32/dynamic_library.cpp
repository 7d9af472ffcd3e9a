#include "platform/dynamic_library.h"

#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& path,
                                                     std::string& error) {
  const std::u16string wide = Utf8ToUtf16(path);
  HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (!module) {
    error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

DynamicLibrary::~DynamicLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace chronel::platform
