// The menu commands a plug-in adds to the host (GetCustomCommands): three texts and two byte
// values each, whose meaning is the host's. This plug-in adds none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chronel::plugin {

struct TkivPluginCustomCmd {
  std::string Text1;
  std::string Text2;
  std::string Text3;
  uint8_t Value1 = 0;
  uint8_t Value2 = 0;
};

class TkivPluginCustomCmdList {
 public:
  void Add(TkivPluginCustomCmd command) { commands_.push_back(std::move(command)); }
  void Clear() { commands_.clear(); }
  int Count() const { return static_cast<int>(commands_.size()); }
  // Each entry as its fields separated by "|", followed by CR LF.
  std::string Text() const;

 private:
  std::vector<TkivPluginCustomCmd> commands_;
};

}  // namespace chronel::plugin
