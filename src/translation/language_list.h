// The languages a language file offers: its section [Languages], read by the INI engine.
//
//   [Languages]
//   $EN = English
//   $DE = Deutsch
//   Default = EN
#pragma once

#include <string>

#include "core/string_list.h"

namespace chronel {

// Adds "<code>,<display name>" to `list` for every "$<code>" key, in file order, and answers the
// value of "Default", the language an instance starts in. A file that is missing or cannot be
// read adds nothing and answers "".
std::string ReadLanguageList(const std::string& fileName, TStringList& list);

}  // namespace chronel
