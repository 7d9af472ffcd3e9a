// `chronel tasks`: edits the task list stored in an INI file with the operations of the options
// dialog, run on the dialog's model, so a script writes exactly the lines the dialog writes.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace chronel {

// `args` are the words after "tasks": an operation (list, add, modify, delete, move, clear),
// then --ini FILE [--section-prefix P] and the operation's options:
//   add, modify:  [--action OPEN|CLOSE|SEND|NEWLOG|EVENT] [--argument TEXT]
//                 [--mode HOURLY|DAILY|WEEKLY|WEEKDAY|MONTHLY|HOTKEY|AFTER|EVENT] [--time HH:MM]
//                 [--repeat-hours N|off] [--repeat-minutes N|off] [--hours LIST]
//                 [--weekdays LIST] [--ordinals LIST] [--month-days LIST] [--hotkey KEYS]
//                 [--after ID|none] [--delay now|N(s|m|h)] [--event-id TEXT]
//   modify, delete, move: --line N (from 1, as list shows it); move: --up or --down
// modify starts from the task as stored and changes what the options name. The file is saved as
// the dialog saves it with OK. Answers 0; 2 after a usage error or a choice the dialog would
// not accept, with the reason on `err`.
int RunTasksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same on standard output and standard error.
int RunTasksCommand(const std::vector<std::string>& args);

}  // namespace chronel
