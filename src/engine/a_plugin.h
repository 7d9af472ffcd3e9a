// TaPlugin: this plug-in's data module, the class every instance the host asks for is made of.
// Its declaration gives the identity the host reads (minimum host version, description, module
// type) and the messages of the data paths.
#pragma once

#include "core/form_declaration.h"
#include "plugin/plugin.h"

namespace chronel {

class TaPlugin : public plugin::TkivPlugin {
 public:
  explicit TaPlugin(const plugin::TPluginCallRec* block);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static const TFormDeclaration& Declaration();
};

}  // namespace chronel
