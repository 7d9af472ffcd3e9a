// The host's configurations as the plug-in sees them: names with 32-bit ids, handed out by
// Vantrel_GetConfigID and listed by Vantrel_GetConfigurations.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace chronel::host {

// Any thread: the plug-in asks from its own threads too.
class TConfigTable {
 public:
  // Ids count from 1 in the order given.
  explicit TConfigTable(std::vector<std::string> names = {"COM1", "COM2"});

  // The id of a name, compared without regard to ASCII case; an unknown name is added and gets
  // the next id.
  int32_t IdOf(std::string_view name);
  // Empty for an id the table never handed out.
  std::string NameOf(int32_t id) const;
  std::vector<std::string> Names() const;
  void Replace(std::vector<std::string> names);

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> names_;  // id = index + 1
};

}  // namespace chronel::host
