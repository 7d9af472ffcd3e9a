// Time-based tasks at scale, through the real plug-in library driven by the reference host:
//
//   task_scale scale [--instances K --tasks N]
//     LOAD and UNLOAD times of K instances with N DAILY tasks each, resident and virtual memory
//     and the thread count before LOAD, after LOAD and after UNLOAD, the error lines the plug-in
//     wrote, and whether a few every-minute tasks among them fire. Without options: 1 x 2000,
//     then 4 x 500.
//   task_scale precision [--minutes M] [--probes P] [--others N]
//     P every-minute tasks beside N tasks due far away, observed over M minute boundaries: how
//     long after the due second each handler starts (the host's fSendString) and each
//     "Executing task" line comes back from GetLogEx.
//
// A plain program rather than a Google Benchmark one: it also measures the 32-bit build, for
// which there is no benchmark library. To see firings without waiting for minutes, run it under
// faketime from a few seconds before a minute, with the monotonic clock left real:
//   FAKETIME_DONT_FAKE_MONOTONIC=1 faketime '2027-04-30 23:58:58' task_scale precision
// Due seconds and samples are then both read from the same shifted wall clock.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "process_figures.h"
#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/variant.h"

namespace {

using namespace chronel;
using WallClock = std::chrono::system_clock;
using Steady = std::chrono::steady_clock;

constexpr int kMinutesPerDay = 24 * 60;
// Tasks that must stay quiet during a run are due at least this far from its start, either way.
constexpr int kQuietMinutes = 10;
// Every-minute tasks per instance in the scale run: proof that the loaded schedules fire.
constexpr int kMarkersPerInstance = 3;
constexpr uint32_t kMarkerWaitMs = 70'000;
// How long after the last observed minute boundary the precision run still collects.
constexpr auto kSettleAfterLastDue = std::chrono::seconds(5);

// --- process figures

double MiB(long kib) { return kib / 1024.0; }

double MsSince(Steady::time_point start) {
  return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Set against the wall time of a command, the rest of the host thread's time is time it was
// blocked, mostly waiting for other threads (each schedule thread is started and stopped with a
// handshake).
using chronel::bench::LoadAverage;
using chronel::bench::ReadProcessStatus;
using chronel::bench::ReadThreadTimes;
using chronel::bench::TProcessStatus;
using chronel::bench::TThreadTimes;

// Wall time of one step, and the host thread's share of it.
struct TStepTime {
  double WallMs = 0;
  TThreadTimes Thread;
};

TStepTime Timed(const std::function<void()>& step) {
  const Steady::time_point start = Steady::now();
  const TThreadTimes before = ReadThreadTimes();
  step();
  const TThreadTimes after = ReadThreadTimes();
  return {MsSince(start), {after.CpuMs - before.CpuMs, after.RunQueueMs - before.RunQueueMs}};
}

void PrintStepTime(const char* what, const TStepTime& time, long tasks) {
  // The kernel's counters and the clock are read a moment apart: a short step can come out
  // a little below zero.
  const double blockedMs =
      std::max(0.0, time.WallMs - time.Thread.CpuMs - time.Thread.RunQueueMs);
  std::printf("  %-6s %8.1f ms (%.1f us per task); host thread: CPU %.1f, waiting for a CPU %.1f, "
              "blocked %.1f ms\n",
              what, time.WallMs, time.WallMs * 1000 / tasks, time.Thread.CpuMs,
              time.Thread.RunQueueMs, blockedMs);
}

// --- task lines and the settings file

std::string TaskLine(int position, std::string_view schedule, std::string_view text) {
  char id[16];
  std::snprintf(id, sizeof(id), "%08d", position + 1);
  return std::string(id) + "||SEND||DAILY||" + std::string(schedule) + "||" + std::string(text);
}

// Due once a day at the given minute.
std::string DailyTask(int position, int minuteOfDay, std::string_view text) {
  char start[16];
  std::snprintf(start, sizeof(start), "%02d:%02d;NN;1;1", minuteOfDay / 60, minuteOfDay % 60);
  return TaskLine(position, start, text);
}

// Due every minute at second 0: hours and minutes both repeat in steps of 1 from 00:00.
std::string EveryMinuteTask(int position, std::string_view text) {
  return TaskLine(position, "00:00;YY;1;1", text);
}

int LocalMinuteOfDay() {
  const chronel::CivilDateTime now = chronel::DecodeDateTime(chronel::platform::SystemClock().LocalNow());
  return now.Hour * 60 + now.Minute;
}

// The k-th of a run of minutes that keeps kQuietMinutes away from `now` on both sides; distinct
// for the first 1,420 values of k.
int QuietMinute(int now, int k) {
  const int span = kMinutesPerDay - 2 * kQuietMinutes;
  return (now + kQuietMinutes + k % span) % kMinutesPerDay;
}

std::string SectionPrefix(int32_t instance) { return "Scale" + std::to_string(instance); }

// One "[<prefix>.Common]" section per instance, the task lines joined as the plug-in stores
// them. The file goes when the object does.
class TSettingsFile {
 public:
  explicit TSettingsFile(const std::vector<std::vector<std::string>>& tasksPerInstance)
      : path_((std::filesystem::temp_directory_path() /
               ("chronel_task_scale_" + std::to_string(chronel::bench::ProcessId()) + ".ini"))
                  .string()) {
    std::ofstream file(path_, std::ios::binary);
    for (size_t i = 0; i < tasksPerInstance.size(); ++i) {
      file << "[" << SectionPrefix(static_cast<int32_t>(i + 1)) << ".Common]\r\nTasks=";
      for (const std::string& line : tasksPerInstance[i]) file << line << "%0d%0a";
      file << "\r\n";
    }
    if (!file) throw std::runtime_error("cannot write " + path_);
  }
  ~TSettingsFile() { std::filesystem::remove(path_); }
  TSettingsFile(const TSettingsFile&) = delete;
  TSettingsFile& operator=(const TSettingsFile&) = delete;

  // UNLOAD names the same file, so the plug-in does not save its settings into it.
  std::vector<host::THostParam> Location(int32_t instance) const {
    return {{"INI-FILE", platform::Variant(path_)},
            {"INISectionPrefix", platform::Variant(SectionPrefix(instance))}};
  }

 private:
  std::string path_;
};

// --- what the host saw

struct TStampedLine {
  WallClock::time_point At;
  std::string Line;
};

// Keeps every timeline line with the wall-clock moment it was written. The host writes from
// any thread that calls its services, so reads take the same lock.
class TRecorder {
 public:
  host::TTimeline::Sink Sink() {
    return [this](const std::string& line) {
      const WallClock::time_point at = WallClock::now();
      std::lock_guard lock(mutex_);
      lines_.push_back({at, line});
    };
  }

  std::vector<TStampedLine> Matching(std::string_view part) const {
    std::lock_guard lock(mutex_);
    std::vector<TStampedLine> found;
    for (const TStampedLine& line : lines_) {
      if (line.Line.find(part) != std::string::npos) found.push_back(line);
    }
    return found;
  }

  size_t Count(std::string_view part) const { return Matching(part).size(); }

 private:
  mutable std::mutex mutex_;
  std::vector<TStampedLine> lines_;
};

std::string SentText(std::string_view text) { return "fSendString \"" + std::string(text) + "\""; }

void PrintErrorLines(const TRecorder& recorder) {
  const std::vector<TStampedLine> errors = recorder.Matching("log (error)");
  std::printf("  error lines: %zu\n", errors.size());
  for (size_t i = 0; i < std::min<size_t>(errors.size(), 5); ++i) {
    std::printf("    %s\n", errors[i].Line.c_str());
  }
}

// --- scale

std::string MarkerText(int32_t instance, int k) {
  return "marker-" + std::to_string(instance) + "-" + std::to_string(k);
}

// The first few tasks fire every minute; the rest are due once a day, away from now.
std::vector<std::string> ScaleTasks(int32_t instance, int count, int nowMinute) {
  std::vector<std::string> lines;
  for (int k = 0; k < count; ++k) {
    if (k < kMarkersPerInstance) {
      lines.push_back(EveryMinuteTask(k, MarkerText(instance, k)));
      continue;
    }
    lines.push_back(DailyTask(k, QuietMinute(nowMinute, k), "task-" + std::to_string(k)));
  }
  return lines;
}

bool AllMarkersFired(const TRecorder& recorder, int instances) {
  for (int32_t instance = 1; instance <= instances; ++instance) {
    for (int k = 0; k < kMarkersPerInstance; ++k) {
      if (recorder.Count(SentText(MarkerText(instance, k))) == 0) return false;
    }
  }
  return true;
}

void PrintStatus(const char* when, const TProcessStatus& status) {
  std::printf("  %-13s RSS %8.1f MiB  VmSize %8.1f MiB  threads %5ld\n", when, MiB(status.RssKiB),
              MiB(status.SizeKiB), status.Threads);
}

// What one round of LOAD, firing and UNLOAD measured.
struct TScaleRound {
  TProcessStatus Before, Loaded, Unloaded;
  TStepTime Load, Unload;
  bool AllLoaded = true;  // every LOAD answered 0
  bool MarkersFired = false;
  double MarkerWaitMs = 0;
};

TScaleRound MeasureRound(host::THost& host, const TSettingsFile& settings,
                         const TRecorder& recorder, int instances) {
  TScaleRound round;
  round.Before = ReadProcessStatus();
  round.Load = Timed([&] {
    for (int32_t instance = 1; instance <= instances; ++instance) {
      const int32_t result = host.Command(instance, "LOAD", settings.Location(instance));
      if (result == 0) continue;
      std::printf("  LOAD of instance %d answered %d\n", instance, result);
      round.AllLoaded = false;
    }
  });
  round.Loaded = ReadProcessStatus();

  const Steady::time_point waitStart = Steady::now();
  round.MarkersFired = host.PumpUntil([&] { return AllMarkersFired(recorder, instances); },
                                      kMarkerWaitMs);
  round.MarkerWaitMs = MsSince(waitStart);

  round.Unload = Timed([&] {
    for (int32_t instance = 1; instance <= instances; ++instance) {
      host.Command(instance, "UNLOAD", settings.Location(instance));
    }
  });
  for (int32_t instance = 1; instance <= instances; ++instance) host.Release(instance);
  round.Unloaded = ReadProcessStatus();
  return round;
}

// Prints the round's figures; false when a task was lost: a LOAD refused, a schedule without
// its thread, a marker that did not fire, or a task the plug-in could not add.
bool ReportRound(const TScaleRound& round, const TRecorder& recorder, long tasks) {
  const long started = round.Loaded.Threads - round.Before.Threads;
  const size_t unableToAdd = recorder.Count("Unable to add task");
  PrintStepTime("LOAD", round.Load, tasks);
  PrintStepTime("UNLOAD", round.Unload, tasks);
  PrintStatus("before LOAD", round.Before);
  PrintStatus("after LOAD", round.Loaded);
  PrintStatus("after UNLOAD", round.Unloaded);
  std::printf("  per started schedule: RSS %.1f KiB, VmSize %.1f KiB\n",
              static_cast<double>(round.Loaded.RssKiB - round.Before.RssKiB) / tasks,
              static_cast<double>(round.Loaded.SizeKiB - round.Before.SizeKiB) / tasks);
  std::printf("  threads added by LOAD: %ld for %ld tasks\n", started, tasks);
  std::printf("  markers fired: %s after %.0f ms of pumping\n",
              round.MarkersFired ? "all" : "NOT ALL", round.MarkerWaitMs);
  std::printf("  \"Unable to add task\" lines: %zu\n", unableToAdd);
  PrintErrorLines(recorder);
  return round.AllLoaded && round.MarkersFired && unableToAdd == 0 && started >= tasks;
}

// Loads `instances` instances of `tasks` tasks each, lets the markers fire and unloads them.
bool RunScale(int instances, int tasks) {
  std::printf("scale: %d instance(s) x %d DAILY tasks (%d every minute per instance)\n",
              instances, tasks, kMarkersPerInstance);
  std::vector<std::vector<std::string>> tasksPerInstance;
  const int nowMinute = LocalMinuteOfDay();
  for (int32_t instance = 1; instance <= instances; ++instance) {
    tasksPerInstance.push_back(ScaleTasks(instance, tasks, nowMinute));
  }
  const TSettingsFile settings(tasksPerInstance);
  TRecorder recorder;
  host::TTimeline timeline(recorder.Sink());
  host::THost host(CHRONEL_PLUGIN_PATH, timeline);
  const TScaleRound round = MeasureRound(host, settings, recorder, instances);
  return ReportRound(round, recorder, static_cast<long>(instances) * tasks);
}

// --- precision

struct TPrecisionOptions {
  int Minutes = 3;
  int Probes = 50;
  int Others = 1000;
};

std::string ProbeText(int k) { return "probe-" + std::to_string(k); }

std::vector<std::string> PrecisionTasks(const TPrecisionOptions& options) {
  const int nowMinute = LocalMinuteOfDay();
  std::vector<std::string> lines;
  for (int k = 0; k < options.Probes; ++k) lines.push_back(EveryMinuteTask(k, ProbeText(k)));
  for (int k = 0; k < options.Others; ++k) {
    lines.push_back(DailyTask(options.Probes + k, QuietMinute(nowMinute, k), "other"));
  }
  return lines;
}

WallClock::time_point NextMinute(WallClock::time_point after) {
  return std::chrono::floor<std::chrono::minutes>(after) + std::chrono::minutes(1);
}

// The due second a sample belongs to: the nearest start of a minute. A task never runs half a
// minute late here, so a sample before its minute starts is one that ran early.
WallClock::time_point DueSecond(WallClock::time_point at) {
  return std::chrono::round<std::chrono::minutes>(at);
}

double MsAfterDueSecond(WallClock::time_point at) {
  return std::chrono::duration<double, std::milli>(at - DueSecond(at)).count();
}

double Percentile(const std::vector<double>& sorted, double fraction) {
  const size_t rank = static_cast<size_t>(std::ceil(fraction * sorted.size()));
  return sorted[std::max<size_t>(rank, 1) - 1];
}

void PrintLateness(const char* what, const std::vector<TStampedLine>& samples) {
  std::vector<double> ms;
  for (const TStampedLine& sample : samples) ms.push_back(MsAfterDueSecond(sample.At));
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) {
    std::printf("  %-26s no samples\n", what);
    return;
  }
  std::printf("  %-26s n=%zu  min %.1f  p50 %.1f  p99 %.1f  max %.1f ms\n", what, ms.size(),
              ms.front(), Percentile(ms, 0.5), Percentile(ms, 0.99), ms.back());
}

// The local wall-clock text of a moment, from its distance to now: the platform knows the local
// time on every system.
std::string LocalTimeText(WallClock::time_point moment) {
  const double daysAgo = std::chrono::duration<double>(WallClock::now() - moment).count() / 86400;
  return chronel::DateTimeToText(chronel::platform::SystemClock().LocalNow() - daysAgo);
}

// The firings of each due minute: how many, and the first and last after the due second. All
// probes of a minute share one due second, so the spread is what running them one after another
// on the host thread adds.
void PrintPerMinute(const std::vector<TStampedLine>& samples) {
  std::map<WallClock::time_point, std::vector<double>> minutes;
  for (const TStampedLine& sample : samples) {
    minutes[DueSecond(sample.At)].push_back(MsAfterDueSecond(sample.At));
  }
  for (const auto& [due, ms] : minutes) {
    const auto [first, last] = std::minmax_element(ms.begin(), ms.end());
    const std::string minute = LocalTimeText(due).substr(11, 5);
    std::printf("    due %s:00  n=%zu  first %.1f  last %.1f ms\n", minute.c_str(), ms.size(),
                *first, *last);
  }
}

// Runs the host's loop through the next `minutes` minute boundaries and a few seconds beyond,
// for the last firings to arrive. The end is a wall-clock time, as the due times are; the
// steady-clock timeout only backs it up.
void PumpThroughMinutes(host::THost& host, int minutes) {
  const WallClock::time_point end =
      NextMinute(WallClock::now()) + std::chrono::minutes(minutes - 1) + kSettleAfterLastDue;
  const auto runFor =
      std::chrono::duration_cast<std::chrono::milliseconds>(end - WallClock::now()).count();
  host.PumpUntil([&] { return WallClock::now() >= end; }, static_cast<uint32_t>(runFor) + 1000);
}

bool RunPrecision(const TPrecisionOptions& options) {
  std::printf("precision: %d every-minute probes beside %d tasks due far away, %d minute(s)\n",
              options.Probes, options.Others, options.Minutes);
  const TSettingsFile settings({PrecisionTasks(options)});
  TRecorder recorder;
  host::TTimeline timeline(recorder.Sink());
  host::THost host(CHRONEL_PLUGIN_PATH, timeline);

  int32_t loadResult = 0;
  const TStepTime load = Timed([&] { loadResult = host.Command(1, "LOAD", settings.Location(1)); });
  if (loadResult != 0) {
    std::printf("  LOAD answered %d\n", loadResult);
    return false;
  }
  PrintStepTime("LOAD", load, options.Probes + options.Others);
  std::printf("  threads after LOAD: %ld\n", ReadProcessStatus().Threads);

  PumpThroughMinutes(host, options.Minutes);
  host.Command(1, "UNLOAD", settings.Location(1));
  host.Release(1);

  const size_t expected = static_cast<size_t>(options.Probes) * options.Minutes;
  const std::vector<TStampedLine> started = recorder.Matching("fSendString \"probe-");
  const std::vector<TStampedLine> collected = recorder.Matching("Executing task: Send data");
  std::printf("  expected firings: %zu\n", expected);
  PrintLateness("handler start (fSendString)", started);
  PrintPerMinute(started);
  PrintLateness("line back from GetLogEx", collected);
  PrintErrorLines(recorder);
  return started.size() == expected && collected.size() == expected;
}

// --- arguments

int PositiveValue(const std::vector<std::string>& args, size_t& i) {
  if (i + 1 >= args.size()) throw std::invalid_argument(args[i] + " needs a value");
  const std::string& text = args[++i];
  size_t used = 0;
  const int value = std::stoi(text, &used);
  if (used != text.size() || value <= 0) throw std::invalid_argument("bad value '" + text + "'");
  return value;
}

int Scale(const std::vector<std::string>& args) {
  int instances = 0, tasks = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--instances") instances = PositiveValue(args, i);
    else if (args[i] == "--tasks") tasks = PositiveValue(args, i);
    else throw std::invalid_argument("unknown option " + args[i]);
  }
  if (instances > 0 && tasks > 0) return RunScale(instances, tasks) ? 0 : 1;
  if (instances > 0 || tasks > 0) throw std::invalid_argument("give both --instances and --tasks");
  const bool single = RunScale(1, 2000);
  const bool shared = RunScale(4, 500);
  return single && shared ? 0 : 1;
}

int Precision(const std::vector<std::string>& args) {
  TPrecisionOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--minutes") options.Minutes = PositiveValue(args, i);
    else if (args[i] == "--probes") options.Probes = PositiveValue(args, i);
    else if (args[i] == "--others") options.Others = PositiveValue(args, i);
    else throw std::invalid_argument("unknown option " + args[i]);
  }
  return RunPrecision(options) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string mode = args.empty() ? "" : args.front();
  const std::vector<std::string> options(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (mode != "scale" && mode != "precision") {
    std::fprintf(stderr, "usage: task_scale scale [--instances K --tasks N]\n"
                         "       task_scale precision [--minutes M] [--probes P] [--others N]\n");
    return 2;
  }
  std::printf("task_scale: %zu-bit, load average %s\n", sizeof(void*) * 8, LoadAverage().c_str());
  try {
    const int status = mode == "scale" ? Scale(options) : Precision(options);
    std::printf("load average at the end %s\n", LoadAverage().c_str());
    return status;
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "task_scale: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "task_scale: %s\n", error.what());
    return 1;
  }
}
