#include "cron_command.h"

#include <iostream>
#include <optional>
#include <ostream>

#include "core/date_time.h"
#include "core/exception.h"
#include "platform/clock.h"
#include "preview_arguments.h"
#include "schedule/cron.h"
#include "schedule/next_time.h"

namespace chronel {
namespace {

constexpr const char* kCommand = "chronel cron";
constexpr const char* kUsage =
    "Usage: chronel cron \"<expression>\" [--from \"YYYY-MM-DD HH:MM:SS[.mmm]\"] [--count N]\n";
constexpr int kDefaultCount = 5;
constexpr int kErrorStatus = 2;

struct CronRequest {
  std::string Expression;
  std::optional<TDateTime> From;
  int Count = kDefaultCount;
};

// Reads the arguments; on a usage error writes the reason and answers nothing.
std::optional<CronRequest> ReadRequest(const std::vector<std::string>& args, std::ostream& err) {
  CronRequest request;
  bool have_expression = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg != "--from" && arg != "--count") {
      if (have_expression) {
        err << "chronel cron: unexpected argument '" << arg << "'\n" << kUsage;
        return std::nullopt;
      }
      request.Expression = arg;
      have_expression = true;
      continue;
    }
    if (i + 1 == args.size()) {
      err << "chronel cron: " << arg << " needs a value\n" << kUsage;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (arg == "--from") {
      request.From = ReadFromValue(kCommand, value, err);
      if (!request.From) return std::nullopt;
      continue;
    }
    const std::optional<int> count = ReadCountValue(kCommand, value, err);
    if (!count) return std::nullopt;
    request.Count = *count;
  }
  if (!have_expression) {
    err << kUsage;
    return std::nullopt;
  }
  return request;
}

}  // namespace

int RunCronCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<CronRequest> request = ReadRequest(args, err);
  if (!request) return kErrorStatus;
  try {
    TChronSchedule schedule{};
    ParseSchedule(request->Expression, schedule);
    TDateTime previous = request->From.value_or(platform::CurrentClock().LocalNow());
    for (int i = 0; i < request->Count; ++i) {
      previous = FindNextTime(schedule, previous, 0, 0);
      if (previous == 0) {
        out << "none\n";
        break;
      }
      out << DateTimeToText(previous) << '\n';
    }
    out.flush();
    return 0;
  } catch (const Exception& error) {
    out.flush();
    err << kCommand << ": \"" << request->Expression << "\": " << error.Message() << '\n';
    return kErrorStatus;
  }
}

int RunCronCommand(const std::vector<std::string>& args) {
  return RunCronCommand(args, std::cout, std::cerr);
}

}  // namespace chronel
