// chronel: the reference host and command-line companion of the plug-in.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "chronel_version.h"
#include "core/utf.h"
#include "cron_command.h"
#include "info_command.h"
#include "lang_command.h"
#include "next_command.h"
#include "run_command.h"
#include "tasks_command.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: chronel <command> [arguments]\n"
    "\n"
    "Commands:\n"
    "  help         show this text\n"
    "  cron \"<expression>\" [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"] [--count N]\n"
    "               print the next N due times of a schedule (default 5)\n"
    "  next --task \"LINE\" [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"] [--count N] [--explain]\n"
    "               print the next N times a task line runs (default 5), after its n-th-weekday\n"
    "               and last-day tests; --explain first shows its schedule and added days\n"
    "  next --ini FILE [--section-prefix P] [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"]\n"
    "               list the tasks stored in an INI file with their next 3 runs and likely\n"
    "               mistakes\n"
    "  info [PLUGIN] load a plug-in library (default: the one beside chronel) and show what a\n"
    "               host sees: exports, interface version, module type, description, version\n"
    "  run [PLUGIN] [--ini FILE [--section-prefix P] | --registry PATH] [--config NAME]...\n"
    "      [--for SECONDS] [--event TYPE[@SECONDS]]... [--hotkey KEYS[@SECONDS]]...\n"
    "      [--language CODE] [--dialog]\n"
    "               play a host: load the plug-in with its settings, run its tasks for SECONDS\n"
    "               (default 60), deliver host events and hotkey presses (Ctrl+Alt+H) at their\n"
    "               offsets, and print everything that happens as a timeline; --language names\n"
    "               the host's language (DE, FR, ...) on every command; --dialog first opens the\n"
    "               options dialog (Windows), and the run starts when it is closed\n"
    "  tasks list|add|modify|delete|move|clear --ini FILE [--section-prefix P] [options]\n"
    "               edit the stored task list as the options dialog does; add and modify take\n"
    "               --action, --argument, --mode, --time HH:MM, --repeat-hours N|off,\n"
    "               --repeat-minutes N|off, --hours, --weekdays, --ordinals, --month-days LIST,\n"
    "               --hotkey KEYS, --after ID|none, --delay now|N(s|m|h), --event-id TEXT;\n"
    "               modify, delete and move take --line N, move --up or --down\n"
    "  lang check FILE\n"
    "               read a language file as the plug-in does: header lines and settings, its\n"
    "               languages, the entries taken for each, and what is dropped and why\n"
    "  --version    print the version\n";

int ShowHelp() {
  std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
  return 0;
}

int ShowVersion() {
  std::printf("chronel %s\n", CHRONEL_VERSION_TEXT);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    return ShowHelp();
  }
  if (args[0] == "--version") return ShowVersion();
  if (args[0] == "cron") return chronel::RunCronCommand({args.begin() + 1, args.end()});
  if (args[0] == "next") return chronel::RunNextCommand({args.begin() + 1, args.end()});
  if (args[0] == "info") return chronel::RunInfoCommand({args.begin() + 1, args.end()});
  if (args[0] == "run") return chronel::RunRunCommand({args.begin() + 1, args.end()});
  if (args[0] == "tasks") return chronel::RunTasksCommand({args.begin() + 1, args.end()});
  if (args[0] == "lang") return chronel::RunLangCommand({args.begin() + 1, args.end()});
  std::fprintf(stderr, "chronel: unknown command '%s' (try 'chronel help')\n", args[0].c_str());
  return 2;
}

}  // namespace

// Arguments are UTF-8 everywhere, as the plug-in reads every name: on Windows they are taken
// in UTF-16, since the narrow ones come in the ANSI code page and lose what it cannot spell.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(chronel::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  return Run(args);
}
#else
int main(int argc, char** argv) { return Run({argv + 1, argv + argc}); }
#endif
