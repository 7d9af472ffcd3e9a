// Information about the modules (executable and libraries) loaded in this process: which
// module holds an address, its file path and version, a module by name, its exported symbols.
//
// A module handle is the module's load address (an HMODULE on Windows, the start of the first
// mapped segment elsewhere), carried as an integer outside the platform layer; 0 means none.
//
// Threads: every function may be called from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronel::platform {

using ModuleHandle = uintptr_t;

// The module whose code or data contains `address`; 0 when none does.
ModuleHandle ModuleContaining(const void* address);

// The module this code is linked into: the plug-in library in the product, the test program
// in the tests.
ModuleHandle OwnModule();

// The full path of the module's file; empty when the handle names no loaded module.
std::string ModuleFilePath(ModuleHandle module);

// A module already loaded in the process, by file name ("host.exe", "libc.so.6") or full
// path; 0 when none is loaded. The module is not loaded and its use count is not raised.
// Windows compares names without regard to case and adds ".dll" to a name without extension.
ModuleHandle FindLoadedModule(std::string_view name);

// An exported symbol of a loaded module by its undecorated name; null when absent.
void* ModuleSymbol(ModuleHandle module, const char* name);

// The four numbers of a file version: major.minor.release.build.
struct TFileVersion {
  uint16_t Major = 0;
  uint16_t Minor = 0;
  uint16_t Release = 0;
  uint16_t Build = 0;
  bool operator==(const TFileVersion&) const = default;
};

// The file version of a loaded module. Windows: its version resource (nothing when it has
// none). POSIX: modules carry no version resource; the module this code is linked into reports
// the project version it was built from (build 0), any other gives nothing.
std::optional<TFileVersion> ModuleFileVersion(ModuleHandle module);

}  // namespace chronel::platform
