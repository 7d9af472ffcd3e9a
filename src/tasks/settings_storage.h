// Where the property store keeps values: the registry (a key per line) or an INI file (a
// section per line). One storage serves one operation of the store, on one thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronel {

class TSettingsStorage {
 public:
  virtual ~TSettingsStorage() = default;

  // Goes to the location of a line with these sub-keys. `common`: an INI line without
  // sub-keys goes to the section "Common". `create`: a missing registry key is made. False when
  // the location cannot be had (the line is skipped).
  virtual bool Locate(const std::vector<std::string>& sub_keys, bool common, bool create) = 0;

  // Reads at the location; reading a value that is stored with another type raises.
  virtual bool ValueExists(std::string_view name) = 0;
  virtual int32_t ReadInteger(std::string_view name) = 0;
  virtual double ReadFloat(std::string_view name) = 0;
  virtual std::string ReadString(std::string_view name) = 0;

  virtual void WriteInteger(std::string_view name, int32_t value) = 0;
  virtual void WriteFloat(std::string_view name, double value) = 0;
  virtual void WriteString(std::string_view name, std::string_view value) = 0;
  virtual void DeleteValue(std::string_view name) = 0;
  // After a value could not be read or written: the registry deletes it, so the property keeps
  // its value and the next save writes a fresh one. Never raises.
  virtual void DiscardValue(std::string_view name) = 0;

  // Removes what `name` names at the location: a key tree or the value (registry), the
  // sections below or the key (INI).
  virtual void DeleteEntry(std::string_view name) = 0;
  virtual std::vector<std::string> SubKeyNames() = 0;
  virtual std::vector<std::string> ValueNames() = 0;

  // Ends the operation: a changed INI file is written. False when it could not be.
  virtual bool Close() = 0;
};

}  // namespace chronel
