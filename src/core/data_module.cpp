#include "core/data_module.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TDataModule::StaticClassInfo() {
  static const TClassInfo info("TDataModule", &TComponent::StaticClassInfo(),
                               {Published("OnCreate", &TDataModule::onCreate_)});
  return info;
}

}  // namespace chronel
