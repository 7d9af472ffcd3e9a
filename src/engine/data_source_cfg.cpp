#include "engine/data_source_cfg.h"

#include "core/exception.h"
#include "engine/a_plugin.h"

namespace chronel {

TDataSourceCfg::TDataSourceCfg(TaPlugin& module) : TProxyCodeObject(nullptr), module_(module) {}

const TClassInfo& TDataSourceCfg::StaticClassInfo() {
  static const TClassInfo info("TDataSourceCfg", &TProxyCodeObject::StaticClassInfo(), {});
  return info;
}

void TDataSourceCfg::LoadConfig() {
  module_.LoadSettings(&module_.PropertyMap(), *this);
  module_.BuildSchedules(*this);
}

// A save that could not be written is not taken for done: the caller's command answers with an
// error and the host logs it. The values stay here, so the next save writes them all again.
void TDataSourceCfg::SaveConfig() {
  if (module_.SaveSettings(&module_.PropertyMap(), *this)) return;
  const std::string& file = module_.CurrentIniFile();
  throw Exception(file.empty() ? "The settings could not be saved to the registry"
                               : "The settings could not be saved to \"" + file + "\"");
}

}  // namespace chronel
