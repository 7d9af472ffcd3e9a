// The configuration object of a data module: the options dialog's stored bounds and the task
// lines, loaded and saved with the module's property map.
#pragma once

#include "tasks/proxy_code_object.h"

namespace chronel {

class TaPlugin;

class TDataSourceCfg : public TProxyCodeObject {
 public:
  explicit TDataSourceCfg(TaPlugin& module);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Reads the stored values from the module's settings location, then rebuilds the module's
  // tasks and schedules from the task lines.
  void LoadConfig();
  // Writes the values to the module's settings location. Raises when they could not be written
  // (the file left as it was), keeping them for the next save.
  void SaveConfig();

 private:
  TaPlugin& module_;
};

}  // namespace chronel
