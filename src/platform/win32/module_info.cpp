#include "platform/module_info.h"

#include <vector>

#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

ModuleHandle ModuleContaining(const void* address) {
  if (!address) return 0;  // GetModuleHandleExW would answer with the executable
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module)) return 0;
  return reinterpret_cast<ModuleHandle>(module);
}

std::string ModuleFilePath(ModuleHandle module) {
  if (module == 0) return {};
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(module), path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      return Utf16ToUtf8(
          std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), length));
    }
    path.resize(path.size() * 2);  // cut off: try a larger buffer
  }
}

ModuleHandle FindLoadedModule(std::string_view name) {
  const std::u16string wide = Utf8ToUtf16(name);
  return reinterpret_cast<ModuleHandle>(
      GetModuleHandleW(reinterpret_cast<const wchar_t*>(wide.c_str())));
}

void* ModuleSymbol(ModuleHandle module, const char* name) {
  if (module == 0) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

std::optional<TFileVersion> ModuleFileVersion(ModuleHandle module) {
  const std::u16string path = Utf8ToUtf16(ModuleFilePath(module));
  if (path.empty()) return std::nullopt;
  const auto* file = reinterpret_cast<const wchar_t*>(path.c_str());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(file, 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return TFileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

}  // namespace chronel::platform
