// `chronel next`: previews when a task runs, after the n-th-weekday and last-day tests the
// plug-in applies when its schedule falls due; or lists the tasks stored in an INI file with
// their next runs and the mistakes a user most likely made in them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace chronel {

// `args` are the words after "next", one of
//   --task "LINE" [--from "YYYY-MM-DD HH:MM:SS[.mmm]"] [--count N] [--explain]
//   --ini FILE [--section-prefix P] [--from "YYYY-MM-DD HH:MM:SS[.mmm]"]
// --task prints the next N runs (default 5), one per line as "YYYY-MM-DD HH:MM:SS", the first
// strictly after --from (default: now, local time), and "none" when the task runs no more;
// --explain first prints "schedule: <CRON text>" and "added days: <AddedDays>". A HOTKEY,
// AFTER or EVENT task prints "schedule: none (<MODE> task)" alone. Answers 0; 2 after a usage
// error, for a line with fewer than four fields ("not a task line") and for a schedule the
// engine rejects (its message), all on `err`.
// --ini prints, for people, every task stored in the file's section "<P>.Common" (or "Common")
// with its next three runs and the likely mistakes in its line. Answers 0; 2 when the file
// cannot be read.
int RunNextCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same on standard output and standard error.
int RunNextCommand(const std::vector<std::string>& args);

}  // namespace chronel
