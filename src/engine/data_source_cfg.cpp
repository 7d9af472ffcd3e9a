#include "engine/data_source_cfg.h"

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

void TDataSourceCfg::SaveConfig() { module_.SaveSettings(&module_.PropertyMap(), *this); }

}  // namespace chronel
