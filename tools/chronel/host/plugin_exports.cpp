#include "plugin_exports.h"

#include <string>

namespace chronel::host {

TPluginExports::TPluginExports(const platform::DynamicLibrary& library) {
  for (size_t i = 0; i < kPluginExportCount; ++i) {
    addresses_[i] = library.Symbol(std::string(kPluginExportNames[i]).c_str());
  }
}

}  // namespace chronel::host
