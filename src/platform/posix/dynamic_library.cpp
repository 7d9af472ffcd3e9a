#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace chronel::platform {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& path,
                                                     std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    error = dlerror();
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() { dlclose(handle_); }

void* DynamicLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace chronel::platform
