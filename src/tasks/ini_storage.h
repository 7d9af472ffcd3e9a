// An INI file as settings storage: a line's section is its sub-keys joined with ".", after the
// section prefix; the key is the value name.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tasks/settings_storage.h"

namespace chronel {

// Takes the lock named after the file (waiting as long as another thread or process holds it)
// and loads the file; both are held until the storage is destroyed. Raises EFileError when the
// file exists but cannot be read. The storage belongs to the calling thread.
std::unique_ptr<TSettingsStorage> OpenIniStorage(const std::string& file_name,
                                                 const std::string& section_prefix);

// The name of the lock shared by all users of one INI file: its path in lower case with every
// character other than 0-9 and a-z replaced by "_".
std::string IniLockName(std::string_view file_name);

}  // namespace chronel
