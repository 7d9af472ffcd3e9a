// The scheduling engine's costs: the next due time for the schedules the plug-in writes and for
// richer ones, schedules that never match, the wake-ups of a waiting schedule, and starting and
// stopping scheduled events.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "schedule/cron.h"
#include "schedule/next_time.h"
#include "schedule/sch_event_list.h"
#include "schedule/waiting_loop.h"
#include "support/fake_clock.h"

namespace {

using namespace chronel;

// Whole-millisecond references spread over 2023 and 2024, so every branch of the search runs.
const std::array<TDateTime, 1024>& References() {
  static const std::array<TDateTime, 1024> references = [] {
    std::array<TDateTime, 1024> values{};
    std::mt19937 random(42);
    std::uniform_int_distribution<int64_t> ms(0, int64_t{731} * 86400000);
    const TDateTime first = EncodeDate(2023, 1, 1);
    for (TDateTime& value : values) value = first + ms(random) / kMSecsPerDay;
    return values;
  }();
  return references;
}

void NextDueTime(benchmark::State& state, const char* text) {
  TChronSchedule schedule{};
  ParseSchedule(text, schedule);
  const auto& references = References();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindNextTime(schedule, references[i++ % references.size()], 0, 0));
  }
}

// The plug-in's own shapes.
BENCHMARK_CAPTURE(NextDueTime, daily_0830, "0 30 8 * * * *");
BENCHMARK_CAPTURE(NextDueTime, hourly_repeat, "0 0,20,40 9-17 * * * *");
BENCHMARK_CAPTURE(NextDueTime, weekly_workdays, "0 0 7 * * 1,2,3,4,5 *");
BENCHMARK_CAPTURE(NextDueTime, monthly_last_day, "0 0 23 15,28,29,30,31 * * *");
BENCHMARK_CAPTURE(NextDueTime, weekday_monday, "0 15 9 * * 1 *");
// Richer texts.
BENCHMARK_CAPTURE(NextDueTime, day_31, "0 0 0 31 * * *");
BENCHMARK_CAPTURE(NextDueTime, leap_day, "0 0 0 29 2 * *");
BENCHMARK_CAPTURE(NextDueTime, steps, "*/20 */7 */5 1-31/10 * * *");
BENCHMARK_CAPTURE(NextDueTime, year_list, "0 0 12 1 1,7 * 2025,2027,2031");
BENCHMARK_CAPTURE(NextDueTime, relative_minutes, "0 ?/10 * * * * *");
BENCHMARK_CAPTURE(NextDueTime, sunday_31st, "0 0 0 31 * 7 *");
BENCHMARK_CAPTURE(NextDueTime, monday_leap_day, "0 0 0 29 2 1 *");  // next in 2044
// Never due: no year of the year field holds a matching day.
BENCHMARK_CAPTURE(NextDueTime, never_feb_30, "0 0 0 30 2 * *");
BENCHMARK_CAPTURE(NextDueTime, never_31st_of_short_months, "0 0 0 31 2,4,6,9,11 * *");
BENCHMARK_CAPTURE(NextDueTime, never_weekday_0, "0 0 0 * * 0 *");
BENCHMARK_CAPTURE(NextDueTime, never_monday_feb_30, "0 0 0 30 2 1 *");
BENCHMARK_CAPTURE(NextDueTime, never_sunday_apr_31, "0 0 0 31 4 7 *");
BENCHMARK_CAPTURE(NextDueTime, never_day_32_workdays, "0 0 0 32 * 1-5 *");
BENCHMARK_CAPTURE(NextDueTime, never_leap_day_centuries, "0 0 0 29 2 * 2100,2200,2300,2500");
BENCHMARK_CAPTURE(NextDueTime, never_monday_leap_day_2024_43, "0 0 0 29 2 1 2024-2043");

void ParsePluginText(benchmark::State& state) {
  TChronSchedule schedule{};
  for (auto _ : state) {
    ParseSchedule("0 0,20,40 9-17 15,28,29,30,31 * 1,2,3,4,5 *", schedule);
    benchmark::DoNotOptimize(schedule);
  }
}
BENCHMARK(ParsePluginText);

// Passes the loop on `clock`, sleeping each wait it asks for, until the schedule runs; returns
// the waits slept.
int WakeUpsUntilRun(TWaitingLoop& loop, test::FakeClock& clock) {
  bool ran = false;
  for (int wake_ups = 0;; ++wake_ups) {
    const TWaitDecision decision = loop.Pass([&ran] { ran = true; });
    if (ran || decision.Leave) return wake_ups;
    clock.AdvanceMs(decision.WaitMs);
  }
}

// How often a waiting schedule wakes between its start and its due time, for due times from a
// minute to a year away, and how late it runs (ms), on a fake clock that moves by each wait the
// loop asks for.
void WakeUpsUntilDue(benchmark::State& state) {
  struct DueTime {
    const char* name;
    const char* text;  // due a distance after 12:00 on 1 May 2023
  };
  const DueTime due_times[] = {{"minute", "0 1 12 1 5 * *"},
                               {"hour", "0 0 13 1 5 * *"},
                               {"day", "0 0 12 2 5 * *"},
                               {"30_days", "0 0 12 31 5 * *"},
                               {"year", "0 0 12 1 5 * 2024"}};
  for (auto _ : state) {
    for (const DueTime& due : due_times) {
      test::FakeClock clock(EncodeDateTime({2023, 5, 1, 12, 0, 0, 0}));
      TSchedule schedule;
      schedule.SetScheduleText(due.text);
      const TDateTime due_time = schedule.NextTime();
      TWaitingLoop loop(schedule, false);
      state.counters[std::string("wake_ups_") + due.name] = WakeUpsUntilRun(loop, clock);
      state.counters[std::string("late_ms_") + due.name] =
          (clock.LocalNow() - due_time) * kMSecsPerDay;
    }
  }
}
BENCHMARK(WakeUpsUntilDue)->Iterations(1)->Unit(benchmark::kMillisecond);

// Resident and virtual memory of the process in KiB (Linux).
struct MemoryUse {
  double ResidentKiB = 0;
  double VirtualKiB = 0;
};

MemoryUse ReadMemoryUse() {
  std::ifstream statm("/proc/self/statm");
  double size_pages = 0;
  double resident_pages = 0;
  statm >> size_pages >> resident_pages;
  return {resident_pages * 4, size_pages * 4};
}

void AddStartedEvents(TSchEventList& list, int count) {
  for (int i = 0; i < count; ++i) {
    TScheduledEvent& event = list.Add(std::to_string(i));
    event.Schedule().SetScheduleText("0 30 8 * * * *");
    event.OnSchedule = [](TScheduledEvent&) {};
    event.Start(false);
  }
}

// Building and starting 1,000 time-based events, then stopping and freeing them; with the
// memory each started event takes (its thread included).
void StartAndStopThousandEvents(benchmark::State& state) {
  double start_seconds = 0;
  double stop_seconds = 0;
  MemoryUse per_event;
  for (auto _ : state) {
    TSchEventList list;
    const MemoryUse before = ReadMemoryUse();
    const auto started = std::chrono::steady_clock::now();
    AddStartedEvents(list, 1000);
    const auto running = std::chrono::steady_clock::now();
    const MemoryUse after = ReadMemoryUse();
    list.Clear();
    const auto stopped = std::chrono::steady_clock::now();
    start_seconds += std::chrono::duration<double>(running - started).count();
    stop_seconds += std::chrono::duration<double>(stopped - running).count();
    if (per_event.VirtualKiB == 0) {  // the first, cold round: no thread stacks cached yet
      per_event = {(after.ResidentKiB - before.ResidentKiB) / 1000,
                   (after.VirtualKiB - before.VirtualKiB) / 1000};
    }
    state.SetIterationTime(std::chrono::duration<double>(stopped - started).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["start_1000_ms"] = start_seconds / n * 1000;
  state.counters["stop_1000_ms"] = stop_seconds / n * 1000;
  state.counters["resident_KiB_per_event"] = per_event.ResidentKiB;
  state.counters["virtual_KiB_per_event"] = per_event.VirtualKiB;
}
BENCHMARK(StartAndStopThousandEvents)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// How late handlers start after their due second, with 1,000 other events waiting. Each sample
// starts an event at a random moment for its next due second (run limit 1), as a task whose
// due time lies a random distance ahead; the handler runs in the starting thread's loop.
void FirePrecisionAmongThousandEvents(benchmark::State& state) {
  std::vector<double> late_ms;
  std::mt19937 random(7);
  std::uniform_int_distribution<uint32_t> pause_ms(0, 700);
  for (auto _ : state) {
    TSchEventList list;
    AddStartedEvents(list, 1000);
    for (int64_t sample = 0; sample < state.range(0); ++sample) {
      const auto resume =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(pause_ms(random));
      while (std::chrono::steady_clock::now() < resume) platform::WaitForMessages(10);
      TScheduledEvent ticking("tick");  // the run limit counts from creation
      ticking.Schedule().SetScheduleText("* * * * * * *");
      ticking.SetRunLimit(1);
      ticking.OnSchedule = [&](TScheduledEvent& event) {
        const double now_ms = platform::CurrentClock().LocalNow() * kMSecsPerDay;
        const double due_ms = event.Schedule().NextTime() * kMSecsPerDay - 1000;
        late_ms.push_back(now_ms - due_ms);
      };
      ticking.Start(false);
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (ticking.Running() && std::chrono::steady_clock::now() < give_up) {
        platform::WaitForMessages(1000);
        platform::ProcessMessages();
      }
    }
  }
  std::sort(late_ms.begin(), late_ms.end());
  state.counters["samples"] = static_cast<double>(late_ms.size());
  state.counters["p50_ms"] = late_ms[late_ms.size() / 2];
  state.counters["p99_ms"] = late_ms[std::min(late_ms.size() - 1, late_ms.size() * 99 / 100)];
  state.counters["max_ms"] = late_ms.back();
}
BENCHMARK(FirePrecisionAmongThousandEvents)->Arg(40)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
