// `chronel lang check FILE`: what the translation engine reads from a language file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace chronel {

// `args` are the words after "lang": "check" and the file. Prints the header lines and the
// settings they make, the languages the file offers, how many entries each language takes,
// and every block or translation the engine leaves out, with the reason. Answers 0; 2 with the
// reason on `err` for wrong arguments or a file that cannot be read.
int RunLangCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same on standard output and standard error.
int RunLangCommand(const std::vector<std::string>& args);

}  // namespace chronel
