#include "plugin/custom_commands.h"

namespace chronel::plugin {

std::string TkivPluginCustomCmdList::Text() const {
  std::string text;
  for (const TkivPluginCustomCmd& command : commands_) {
    text += command.Text1 + "|" + command.Text2 + "|" + command.Text3 + "|" +
            std::to_string(command.Value1) + "|" + std::to_string(command.Value2) + "\r\n";
  }
  return text;
}

}  // namespace chronel::plugin
