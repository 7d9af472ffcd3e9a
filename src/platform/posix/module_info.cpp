#include "platform/module_info.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <unistd.h>

#include "chronel_version.h"

namespace chronel::platform {
namespace {

struct LoadedModule {
  ModuleHandle Handle = 0;
  std::string Path;
};

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// The start of a module's first mapped segment: what dladdr reports as its base.
ModuleHandle ModuleBase(const dl_phdr_info& info) {
  uintptr_t lowest = UINTPTR_MAX;
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    if (info.dlpi_phdr[i].p_type == PT_LOAD && info.dlpi_phdr[i].p_vaddr < lowest) {
      lowest = info.dlpi_phdr[i].p_vaddr;
    }
  }
  if (lowest == UINTPTR_MAX) return 0;
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  return (info.dlpi_addr + lowest) & ~(page - 1);
}

// Calls `visit` for each loaded module until it returns true.
template <typename Visit>
void ForEachModule(Visit visit) {
  auto callback = [](dl_phdr_info* info, size_t, void* data) -> int {
    // The executable comes first, without a name.
    const bool executable = !info->dlpi_name || !*info->dlpi_name;
    const LoadedModule module{ModuleBase(*info),
                              executable ? ExecutablePath() : std::string(info->dlpi_name)};
    return (*static_cast<Visit*>(data))(module) ? 1 : 0;
  };
  dl_iterate_phdr(callback, &visit);
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ModuleHandle ModuleContaining(const void* address) {
  Dl_info info;
  if (!dladdr(address, &info)) return 0;
  return reinterpret_cast<ModuleHandle>(info.dli_fbase);
}

std::string ModuleFilePath(ModuleHandle module) {
  std::string path;
  if (module == 0) return path;
  ForEachModule([&](const LoadedModule& loaded) {
    if (loaded.Handle != module) return false;
    path = loaded.Path;
    return true;
  });
  return path;
}

ModuleHandle FindLoadedModule(std::string_view name) {
  ModuleHandle found = 0;
  const bool by_path = name.find('/') != std::string_view::npos;
  ForEachModule([&](const LoadedModule& loaded) {
    if ((by_path ? loaded.Path : FileName(loaded.Path)) != name) return false;
    found = loaded.Handle;
    return true;
  });
  return found;
}

void* ModuleSymbol(ModuleHandle module, const char* name) {
  const std::string path = ModuleFilePath(module);
  if (path.empty()) return nullptr;
  const bool executable = path == ExecutablePath();
  void* library = dlopen(executable ? nullptr : path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!library) return nullptr;
  void* symbol = dlsym(library, name);
  dlclose(library);
  // dlsym also searches the libraries the module depends on; only its own exports count.
  if (symbol && ModuleContaining(symbol) != module) return nullptr;
  return symbol;
}

std::optional<TFileVersion> ModuleFileVersion(ModuleHandle module) {
  if (module == 0 || module != OwnModule()) return std::nullopt;
  return TFileVersion{CHRONEL_VERSION_MAJOR, CHRONEL_VERSION_MINOR, CHRONEL_VERSION_PATCH, 0};
}

}  // namespace chronel::platform
