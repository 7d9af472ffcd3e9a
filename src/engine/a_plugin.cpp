#include "engine/a_plugin.h"

#include "core/published_properties.h"
#include "plugin/library_class.h"

namespace chronel {

TaPlugin::TaPlugin(const plugin::TPluginCallRec* block) : TkivPlugin(block) {
  LoadDeclaration(*this, Declaration());
}

const TClassInfo& TaPlugin::StaticClassInfo() {
  static const TClassInfo info("TaPlugin", &TkivPlugin::StaticClassInfo(), {});
  return info;
}

const TFormDeclaration& TaPlugin::Declaration() {
  static const TFormDeclaration declaration{
      .Name = "aPlugin",
      .Properties =
          {
              {"MsgNoData", std::string("No data for processing")},
              {"MsgWriteComplete", std::string("Data have been processed successfully")},
              {"MsgWriteCompleteError", std::string("Data have been processed with errors")},
              {"MinVersion", 4.0},
              {"Description", std::string("Chronel")},
              {"LogTitle", std::string("Chronel")},
              {"ModuleType", Members({"mttEventsHandling"})},
              {"IsMultiThreadSupported", true},
          },
  };
  return declaration;
}

}  // namespace chronel

chronel::plugin::TPluginClass chronel::plugin::LibraryPluginClass() {
  return CreatePlugin<TaPlugin>;
}
