#include "stored_tasks.h"

#include <ostream>

#include "core/exception.h"
#include "core/text.h"
#include "task_checks.h"
#include "engine/task_runs.h"
#include "tasks/file_reader.h"
#include "tasks/property_store.h"
#include "tasks/proxy_code_object.h"
#include "tasks/task_line.h"

namespace chronel {
namespace {

constexpr int kListedRuns = 3;

std::string SectionName(const std::string& prefix) {
  return prefix.empty() ? "Common" : prefix + ".Common";
}

void AppendItem(std::string& text, const std::string& item) {
  if (!text.empty()) text += ", ";
  text += item;
}

// The next runs, "none" when they end, and the engine's message when the schedule fails.
std::string NextRunsText(const std::vector<std::string>& fields, TDateTime from) {
  const std::string mode = UpperCaseAscii(fields[2]);
  if (!HasSchedule(mode)) return NoScheduleText(mode);
  std::string text;
  try {
    const std::vector<TDateTime> runs = NextRuns(fields, from, kListedRuns);
    for (TDateTime run : runs) AppendItem(text, DateTimeToText(run));
    if (runs.size() < static_cast<size_t>(kListedRuns)) AppendItem(text, "none");
  } catch (const Exception& error) {
    AppendItem(text, "the schedule fails: " + error.Message());
  }
  return text;
}

void WriteTask(int position, const std::vector<std::string>& fields, TDateTime from,
               std::ostream& out) {
  out << '#' << position << "  " << fields[0] << "  " << fields[1] << "  " << fields[2] << "  "
      << fields[3] << '\n';
  out << "    next: " << NextRunsText(fields, from) << '\n';
  for (const std::string& mistake : FindLikelyMistakes(fields)) {
    out << "    warning: " << mistake << '\n';
  }
}

}  // namespace

std::optional<std::vector<std::string>> ReadStoredTaskLines(const std::string& file,
                                                            const std::string& prefix) {
  // Without the file the property store would read the registry instead.
  if (!FileExists(file)) return std::nullopt;
  TWreg store;
  store.SetINIFile(file);
  store.SetINIFileSectionPrefix(prefix);
  store.PropertyList().SetLines({"lstTasks.Strings,Tasks"});
  TProxyCodeObject stored(nullptr);
  if (!store.ReadProperties(&stored)) return std::nullopt;
  return stored.lstTasks_Strings().Lines();
}

void WriteTaskListing(const std::string& file, const std::string& prefix,
                      const std::vector<std::string>& lines, TDateTime from, std::ostream& out) {
  out << "Tasks in " << file << ", section [" << SectionName(prefix) << "]:";
  out << (lines.empty() ? " none\n" : "\n");
  int position = 0;
  for (size_t line = 0; line < lines.size(); ++line) {
    out << '\n';
    const std::vector<std::string> fields = SplitTaskLine(lines[line]);
    if (fields.size() < kMinTaskFields) {
      out << "line " << line + 1 << ": " << lines[line]
          << "\n    skipped: not a task line (fewer than four fields)\n";
      continue;
    }
    WriteTask(position++, fields, from, out);
  }
  out.flush();
}

}  // namespace chronel
