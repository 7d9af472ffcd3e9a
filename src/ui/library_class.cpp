// The class of the library's instances: the plug-in's data module, with the task editor as its
// options dialog where the platform has one.
#include "engine/a_plugin.h"
#include "plugin/library_class.h"
#include "ui/options_dialog.h"

chronel::plugin::TPluginClass chronel::plugin::LibraryPluginClass() {
#ifdef _WIN32
  TaPlugin::UseOptionsDialog(&ShowOptionsDialog);
#endif
  return CreatePlugin<TaPlugin>;
}
