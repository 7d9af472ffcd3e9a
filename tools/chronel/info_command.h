// `chronel info`: what a host sees of a plug-in library.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace chronel {

// `args` are the words after "info": [PLUGIN], by default the library beside this program.
// Loads it and prints which of the twelve exports it has and what the identity calls answer
// (interface version, module type, minimum host version, description, version, custom
// commands, parser items); a missing export shows as "not exported". Answers 0; 2 with the
// reason on `err` when the file is missing, is not a plug-in library or has the wrong bitness.
int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same on standard output and standard error.
int RunInfoCommand(const std::vector<std::string>& args);

}  // namespace chronel
