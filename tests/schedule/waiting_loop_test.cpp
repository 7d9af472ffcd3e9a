// The waiting loop's timing, driven by a fake clock: every wait the loop asks for is "slept" by
// moving the clock, so days of waiting run in microseconds.
#include "schedule/waiting_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/fake_clock.h"

namespace chronel {
namespace {

using test::FakeClock;

constexpr int64_t kHour = 3'600'000;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

std::string Text(TDateTime value) { return DateTimeToTextMs(value); }

int64_t LateMs(TDateTime fired, TDateTime due) {
  return std::llround((fired - due) * kMSecsPerDay);
}

// A change of the wall clock while the loop waits: at wall time `At` the clock moves by
// `ShiftMs` (a daylight-saving change, a user setting the clock, the time a suspend lasted).
// With `Recheck` the system's re-check signal ends the wait at once, as on Windows.
struct ClockJump {
  TDateTime At;
  int64_t ShiftMs;
  bool Recheck;
};

// Runs the loop as the schedule thread would, sleeping on the fake clock, until `run_ms` of
// program time have passed or the loop ends.
class Simulation {
 public:
  Simulation(FakeClock& clock, TSchedule& schedule, std::vector<ClockJump> jumps = {})
      : clock_(clock), loop_(schedule, false), jumps_(std::move(jumps)) {}

  void Run(int64_t run_ms) {
    // A loop that fell back to short re-checks for days fails here rather than running on.
    constexpr int kMaxPasses = 100'000;
    const int64_t end = clock_.ElapsedMs() + run_ms;
    for (int pass = 0; pass < kMaxPasses && clock_.ElapsedMs() < end; ++pass) {
      const TWaitDecision decision = loop_.Pass([&] { RecordRun(); });
      if (decision.Leave) return;
      waits_.push_back(decision.WaitMs);
      Sleep(decision.WaitMs);
    }
  }

  const std::vector<TDateTime>& Fired() const { return fired_; }
  const std::vector<int64_t>& Waits() const { return waits_; }
  // The waits that ended before the first run: each costs the thread a wake-up.
  size_t WakeUpsBeforeFirstRun() const { return wake_ups_before_first_run_; }

 private:
  void RecordRun() {
    if (fired_.empty()) wake_ups_before_first_run_ = waits_.size();
    fired_.push_back(clock_.LocalNow());
  }

  // Sleeps on the clock; a jump on the way shifts the wall clock and, with a re-check, ends
  // the sleep there.
  void Sleep(int64_t ms) {
    const TDateTime wake_wall = clock_.LocalNow() + ms / kMSecsPerDay;
    for (ClockJump& jump : jumps_) {
      if (jump.ShiftMs == 0 || jump.At < clock_.LocalNow() || jump.At > wake_wall) continue;
      const int64_t before = std::llround((jump.At - clock_.LocalNow()) * kMSecsPerDay);
      clock_.AdvanceMs(before);
      clock_.ShiftLocalMs(jump.ShiftMs);
      jump.ShiftMs = 0;  // happens once
      if (jump.Recheck) return;
      clock_.AdvanceMs(ms - before);
      return;
    }
    clock_.AdvanceMs(ms);
  }

  FakeClock& clock_;
  TWaitingLoop loop_;
  std::vector<ClockJump> jumps_;
  std::vector<TDateTime> fired_;
  std::vector<int64_t> waits_;
  size_t wake_ups_before_first_run_ = 0;
};

// Each wait is half the time left, read afresh from the clock, and the last one ends on the due
// time itself.
TEST(WaitingLoop, HalvesTheTimeLeftAndRunsOnTheDueTime) {
  FakeClock clock(At(2023, 5, 10, 10));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 22 * * * *");
  Simulation simulation(clock, schedule);
  simulation.Run(12 * kHour + 1000);

  ASSERT_EQ(simulation.Fired().size(), 1u);
  EXPECT_EQ(Text(simulation.Fired()[0]), "2023-05-10 22:00:00.000");
  const std::vector<int64_t>& waits = simulation.Waits();
  ASSERT_GE(waits.size(), 4u);
  EXPECT_EQ(std::vector<int64_t>(waits.begin(), waits.begin() + 4),
            (std::vector<int64_t>{6 * kHour, 3 * kHour, 3 * kHour / 2, 3 * kHour / 4}));
  // After the due time the next wait is half the distance to the next one.
  EXPECT_EQ(waits.back(), 12 * kHour);
}

// A due time N ms away costs about log2(N / 50 ms) wake-ups, plus one a day for the days beyond
// the first (no wait is longer than 24 hours), and the run lands on the due time.
TEST(WaitingLoop, AFarDueTimeCostsFewWakeUps) {
  constexpr int64_t kDay = 24 * kHour;
  struct Case {
    const char* text;  // due at 12:00 on 1 May 2023, or that far after it
    int64_t distance_ms;
  };
  const Case cases[] = {
      {"0 1 12 1 5 * *", 60'000},     {"0 0 13 1 5 * *", kHour},         {"0 0 12 2 5 * *", kDay},
      {"0 0 12 31 5 * *", 30 * kDay}, {"0 0 12 1 5 * 2024", 366 * kDay},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TDateTime start = At(2023, 5, 1, 12);
    FakeClock clock(start);
    TSchedule schedule;
    schedule.SetScheduleText(c.text);
    Simulation simulation(clock, schedule);
    simulation.Run(c.distance_ms + 1000);

    ASSERT_EQ(simulation.Fired().size(), 1u);
    EXPECT_EQ(LateMs(simulation.Fired()[0], start), c.distance_ms);
    const double halvings = std::log2(static_cast<double>(std::min(c.distance_ms, kDay)) /
                                      TWaitingLoop::kShortestWaitMs);
    const int64_t capped_days = std::max<int64_t>(c.distance_ms / kDay - 1, 0);
    EXPECT_LE(simulation.WakeUpsBeforeFirstRun(), capped_days + halvings + 3);
    EXPECT_LE(*std::max_element(simulation.Waits().begin(), simulation.Waits().end()),
              TWaitingLoop::kLongestWaitMs);
  }
}

// Within 100 ms of the due time the loop waits the whole rest, so the pass after the last wait
// is due on the dot. A due time that passed before a pass (the clock was set forward) falls due
// in that pass.
TEST(WaitingLoop, TheLastWaitEndsOnTheDueTime) {
  struct Case {
    int64_t left_ms;  // from the first pass to the due time
    size_t wake_ups;  // before the run
  };
  const Case cases[] = {{1, 1}, {50, 1}, {100, 1}, {101, 2}, {250, 3}, {1000, 5}, {-500, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.left_ms);
    const TDateTime due = At(2023, 5, 10, 22);
    FakeClock clock(At(2023, 5, 10, 21, 59, 58));
    TSchedule schedule;
    schedule.SetScheduleText("0 0 22 * * * *");
    Simulation simulation(clock, schedule);
    clock.SetLocalNow(due - static_cast<double>(c.left_ms) / kMSecsPerDay);
    simulation.Run(1500);

    ASSERT_EQ(simulation.Fired().size(), 1u);
    EXPECT_EQ(LateMs(simulation.Fired()[0], due), std::max<int64_t>(-c.left_ms, 0));
    EXPECT_EQ(simulation.WakeUpsBeforeFirstRun(), c.wake_ups);
  }
}

TEST(WaitingLoop, TheWaitAfterADueTimeLeavesOutTheSignalsOwnTime) {
  FakeClock clock(At(2023, 5, 10, 21, 59, 59, 990));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 22 * * * *");
  TWaitingLoop loop(schedule, false);
  EXPECT_EQ(loop.Pass([] {}).WaitMs, 10);
  clock.AdvanceMs(10);
  // The handler's signalling takes 7 ms of this pass.
  const TWaitDecision decision = loop.Pass([&] { clock.AdvanceMs(7); });
  EXPECT_EQ(decision.State, TScheduleState::ssDue);
  EXPECT_EQ(decision.WaitMs, 12 * kHour - 7);
}

TEST(WaitingLoop, TheClockSetBackAfterADueTimeDoesNotRunItAgain) {
  for (bool recheck : {false, true}) {
    SCOPED_TRACE(recheck ? "with re-check" : "without re-check");
    FakeClock clock(At(2023, 5, 10, 21, 59, 59, 990));
    TSchedule schedule;
    schedule.SetScheduleText("0 0 22 * * * *");
    Simulation simulation(clock, schedule, {{At(2023, 5, 10, 22, 30), -kHour, recheck}});
    simulation.Run(26 * kHour);
    // 22:00 today once, then 22:00 tomorrow once the wall clock has caught up.
    ASSERT_EQ(simulation.Fired().size(), 2u);
    EXPECT_EQ(Text(simulation.Fired()[0]), "2023-05-10 22:00:00.000");
    EXPECT_EQ(Text(simulation.Fired()[1]), "2023-05-11 22:00:00.000");
  }
}

TEST(WaitingLoop, AResumeAfterSeveralDueTimesRunsEachInTurnAtOnce) {
  FakeClock clock(At(2023, 5, 10, 9, 30));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 * * * * *");
  // Suspended at 09:40 for 3 h 15 min: 10:00, 11:00 and 12:00 pass while the thread sleeps.
  Simulation simulation(clock, schedule, {{At(2023, 5, 10, 9, 40), 195 * 60'000, true}});
  simulation.Run(30 * 60'000);
  ASSERT_EQ(simulation.Fired().size(), 4u);
  EXPECT_EQ(Text(simulation.Fired()[0]), "2023-05-10 12:55:00.000");
  EXPECT_EQ(Text(simulation.Fired()[1]), "2023-05-10 12:55:00.050");
  EXPECT_EQ(Text(simulation.Fired()[2]), "2023-05-10 12:55:00.100");
  // 13:00 comes at its own time again.
  EXPECT_EQ(Text(simulation.Fired()[3]), "2023-05-10 13:00:00.000");
  EXPECT_EQ(Text(schedule.NextTime()), "2023-05-10 14:00:00.000");
}

TEST(WaitingLoop, DaylightSavingChangesRunADueTimeOnce) {
  struct Case {
    const char* name;
    int day;  // of the change, in 2023
    ClockJump jump;
    TDateTime runs_from;  // the one run lies within [runs_from, runs_from + 50 ms)
    const char* next;
  };
  const Case cases[] = {
      // Spring: 02:00 becomes 03:00; the 02:30 due time never shows on the wall clock and runs
      // once, at the jump (by the system's re-check, or because a wait ended just there).
      {"spring, re-check",
       26,
       {At(2023, 3, 26, 2), kHour, true},
       At(2023, 3, 26, 3),
       "2023-03-27 02:30:00.000"},
      {"spring",
       26,
       {At(2023, 3, 26, 2), kHour, false},
       At(2023, 3, 26, 3),
       "2023-03-27 02:30:00.000"},
      // Autumn: 03:00 becomes 02:00 again; 02:30 runs at its first occurrence only.
      {"autumn, re-check",
       29,
       {At(2023, 10, 29, 3), -kHour, true},
       At(2023, 10, 29, 2, 30),
       "2023-10-30 02:30:00.000"},
      {"autumn",
       29,
       {At(2023, 10, 29, 3), -kHour, false},
       At(2023, 10, 29, 2, 30),
       "2023-10-30 02:30:00.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock(At(2023, c.day == 26 ? 3 : 10, c.day, 0, 30));
    TSchedule schedule;
    schedule.SetScheduleText("0 30 2 * * * *");
    Simulation simulation(clock, schedule, {c.jump});
    simulation.Run(23 * kHour);  // the rest of the day, short of tomorrow's 02:30
    ASSERT_EQ(simulation.Fired().size(), 1u);
    const double late_ms = (simulation.Fired()[0] - c.runs_from) * kMSecsPerDay;
    EXPECT_GE(late_ms, -0.001);
    EXPECT_LT(late_ms, 50);
    EXPECT_EQ(Text(schedule.NextTime()), c.next);
  }
}

TEST(WaitingLoop, RunNowBeforeTheStartTimeWaitsForTheStartTime) {
  FakeClock clock(At(2023, 5, 10, 10));
  TSchedule schedule;
  schedule.SetStartTime(At(2023, 5, 10, 12));
  schedule.SetScheduleText("0 0 * * * * *");
  const TWaitingLoop loop(schedule, true);
  EXPECT_EQ(Text(schedule.NextTime()), "2023-05-10 12:00:00.000");
  EXPECT_EQ(loop.WaitMs(), kHour);
}

TEST(WaitingLoop, TheLastDueTimeAndTheEndTimeLeaveTheLoop) {
  FakeClock clock(At(2023, 5, 10, 10));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 11 10 5 * 2023");
  Simulation last(clock, schedule);
  last.Run(2 * kHour);
  EXPECT_EQ(last.Fired().size(), 1u);
  EXPECT_EQ(schedule.State(), TScheduleState::ssDueLast);

  // An end time before the next due time ends the run with that due time ...
  schedule.SetEndTime(At(2023, 5, 10, 13, 30));
  schedule.SetScheduleText("0 0 * * * * *");
  Simulation ending(clock, schedule);
  ending.Run(5 * kHour);
  EXPECT_EQ(ending.Fired().size(), 2u);  // 12:00 and 13:00
  EXPECT_EQ(schedule.State(), TScheduleState::ssDueLast);

  // ... and an end time that passes while the loop waits expires it.
  schedule.SetEndTime(0);
  schedule.SetScheduleText("0 0 * * * * * ");  // due 14:00, found before the end was set
  schedule.SetEndTime(At(2023, 5, 10, 13, 45));
  Simulation expiring(clock, schedule);
  expiring.Run(5 * kHour);
  EXPECT_TRUE(expiring.Fired().empty());
  EXPECT_EQ(schedule.State(), TScheduleState::ssExpired);
}

}  // namespace
}  // namespace chronel
