// The side file in which the engine leaves the texts it collected for translators, beside the
// language file: "<language file>.new", or ".unused" for entries nothing asked for. It reads as
// a language file with empty translations:
//
//   [Languages]
//   $EN = #1
//   $DE = #2 (Default)
//   Default = DE
//
//   EN:>Open data source
//   DE:>
//
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "translation/language_file.h"

namespace chronel {

// Where the side file goes; "" when every free name is taken. With FileMode New an existing
// file is never overwritten: ".1", ".2", ... go before the extension until a name is free.
std::string SideFileName(const std::string& languageFile, TSaveMode saveMode, TFileMode fileMode);

// Writes the texts in their sorted order; nothing for an empty set. Errors are dropped: a side
// file is a help for translators, not part of the product's work.
void WriteSideFile(const std::string& languageFile, const TLanguageSettings& settings,
                   std::string_view source, std::string_view target,
                   const std::set<std::string>& collected);

}  // namespace chronel
