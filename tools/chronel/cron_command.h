// `chronel cron`: previews when a CRON schedule falls due.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace chronel {

// `args` are the words after "cron":  "<expression>" [--from "YYYY-MM-DD HH:MM:SS[.mmm]"]
// [--count N]. Prints the next N due times (default 5), one per line as "YYYY-MM-DD HH:MM:SS",
// each the next after the one before, the first strictly after --from (default: now, local
// time); prints "none" and stops when there is no further due time. Answers 0; 2 after a
// usage error or the engine's error message, both on `err`.
int RunCronCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same on standard output and standard error.
int RunCronCommand(const std::vector<std::string>& args);

}  // namespace chronel
