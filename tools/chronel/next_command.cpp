#include "next_command.h"

#include <iostream>
#include <optional>
#include <ostream>

#include "core/date_time.h"
#include "core/exception.h"
#include "core/text.h"
#include "platform/clock.h"
#include "preview_arguments.h"
#include "stored_tasks.h"
#include "engine/task_runs.h"
#include "tasks/task_line.h"

namespace chronel {
namespace {

constexpr const char* kCommand = "chronel next";
constexpr const char* kUsage =
    "Usage: chronel next --task \"LINE\" [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"] [--count N] "
    "[--explain]\n"
    "       chronel next --ini FILE [--section-prefix P] [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"]\n";
constexpr int kDefaultCount = 5;
constexpr int kErrorStatus = 2;

struct NextRequest {
  std::optional<std::string> TaskLine;
  std::optional<std::string> IniFile;
  std::optional<std::string> SectionPrefix;
  std::optional<TDateTime> From;
  std::optional<int> Count;
  bool Explain = false;
};

bool TakesValue(const std::string& option) {
  return option == "--task" || option == "--ini" || option == "--section-prefix" ||
         option == "--from" || option == "--count";
}

// Answers false after writing why the value is not accepted.
bool ApplyOption(const std::string& option, const std::string& value, NextRequest& request,
                 std::ostream& err) {
  if (option == "--from") {
    request.From = ReadFromValue(kCommand, value, err);
    return request.From.has_value();
  }
  if (option == "--count") {
    request.Count = ReadCountValue(kCommand, value, err);
    return request.Count.has_value();
  }
  if (option == "--task") request.TaskLine = value;
  if (option == "--ini") request.IniFile = value;
  if (option == "--section-prefix") request.SectionPrefix = value;
  return true;
}

// Why the options do not go together: --task and --ini each take only their own.
std::optional<std::string> Misfit(const NextRequest& request) {
  if (request.TaskLine && request.IniFile) return "--task and --ini exclude each other";
  if (request.TaskLine && request.SectionPrefix) return "--section-prefix goes with --ini";
  if (request.IniFile && (request.Count || request.Explain)) {
    return "--count and --explain go with --task";
  }
  return std::nullopt;
}

// Reads the arguments; on a usage error writes the reason and answers nothing.
std::optional<NextRequest> ReadRequest(const std::vector<std::string>& args, std::ostream& err) {
  NextRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--explain") {
      request.Explain = true;
      continue;
    }
    if (!TakesValue(arg)) {
      err << kCommand << ": unexpected argument '" << arg << "'\n" << kUsage;
      return std::nullopt;
    }
    if (i + 1 == args.size()) {
      err << kCommand << ": " << arg << " needs a value\n" << kUsage;
      return std::nullopt;
    }
    if (!ApplyOption(arg, args[++i], request, err)) return std::nullopt;
  }
  if (const std::optional<std::string> misfit = Misfit(request)) {
    err << kCommand << ": " << *misfit << '\n' << kUsage;
    return std::nullopt;
  }
  if (!request.TaskLine && !request.IniFile) {
    err << kUsage;
    return std::nullopt;
  }
  return request;
}

void WriteExplanation(const TTaskSchedule& schedule, std::ostream& out) {
  out << "schedule: " << schedule.CronText << '\n';
  out << "added days:" << (schedule.AddedDays.empty() ? "" : " ") << schedule.AddedDays << '\n';
}

int PreviewTask(const NextRequest& request, TDateTime from, std::ostream& out,
                std::ostream& err) {
  const std::vector<std::string> fields = SplitTaskLine(*request.TaskLine);
  if (fields.size() < kMinTaskFields) {
    err << kCommand << ": not a task line\n";
    return kErrorStatus;
  }
  const std::string mode = UpperCaseAscii(fields[2]);
  if (!HasSchedule(mode)) {
    out << "schedule: " << NoScheduleText(mode) << '\n';
    return 0;
  }
  try {
    const TScheduledTask scheduled(fields);
    if (request.Explain) WriteExplanation(scheduled.Schedule, out);
    const auto write_run = [&out](TDateTime run) { out << DateTimeToText(run) << '\n'; };
    const int count = request.Count.value_or(kDefaultCount);
    if (!VisitNextRuns(scheduled.Task, scheduled.ParsedSchedule(), from, count, write_run)) {
      out << "none\n";
    }
    out.flush();
    return 0;
  } catch (const Exception& error) {
    out.flush();
    err << kCommand << ": " << error.Message() << '\n';
    return kErrorStatus;
  }
}

int ListIniTasks(const NextRequest& request, TDateTime from, std::ostream& out,
                 std::ostream& err) {
  const std::string& file = *request.IniFile;
  const std::string prefix = request.SectionPrefix.value_or("");
  const std::optional<std::vector<std::string>> lines = ReadStoredTaskLines(file, prefix);
  if (!lines) {
    err << kCommand << ": cannot read '" << file << "'\n";
    return kErrorStatus;
  }
  WriteTaskListing(file, prefix, *lines, from, out);
  return 0;
}

}  // namespace

int RunNextCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<NextRequest> request = ReadRequest(args, err);
  if (!request) return kErrorStatus;
  const TDateTime from = request->From.value_or(platform::CurrentClock().LocalNow());
  if (request->TaskLine) return PreviewTask(*request, from, out, err);
  return ListIniTasks(*request, from, out, err);
}

int RunNextCommand(const std::vector<std::string>& args) {
  return RunNextCommand(args, std::cout, std::cerr);
}

}  // namespace chronel
