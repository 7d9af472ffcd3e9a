// The waiting loop's timing, driven by a fake clock: every wait the loop asks for is "slept" by
// moving the clock, so days of waiting run in microseconds.
#include "schedule/waiting_loop.h"

#include <gtest/gtest.h>

#include <numeric>
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

  void Run(int64_t run_ms, int max_passes = 10'000'000) {
    const int64_t end = clock_.ElapsedMs() + run_ms;
    for (int pass = 0; pass < max_passes && clock_.ElapsedMs() < end; ++pass) {
      const TWaitDecision decision = loop_.Pass([&] { fired_.push_back(clock_.LocalNow()); });
      if (decision.Leave) return;
      waits_.push_back(decision.WaitMs);
      Sleep(std::max<int64_t>(decision.WaitMs, 0));
    }
  }

  const std::vector<TDateTime>& Fired() const { return fired_; }
  const std::vector<int64_t>& Waits() const { return waits_; }
  TWaitingLoop& Loop() { return loop_; }

 private:
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
      if (jump.Recheck) {
        loop_.Recheck();
        return;
      }
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
};

TEST(WaitingLoop, HalvesTheWaitUntilTheDueTimeThenRechecksEvery50Ms) {
  FakeClock clock(At(2023, 5, 10, 10));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 22 * * * *");
  Simulation simulation(clock, schedule);
  simulation.Run(12 * kHour + 1000);

  ASSERT_EQ(simulation.Fired().size(), 1u);
  const int64_t late_ms =
      std::llround((simulation.Fired()[0] - At(2023, 5, 10, 22)) * kMSecsPerDay);
  EXPECT_GE(late_ms, 0);
  EXPECT_LT(late_ms, 50);
  const std::vector<int64_t>& waits = simulation.Waits();
  ASSERT_GE(waits.size(), 4u);
  EXPECT_EQ(waits[0], 6 * kHour);
  EXPECT_EQ(waits[1], 3 * kHour);
  EXPECT_EQ(waits[2], 3 * kHour / 2);
  EXPECT_EQ(waits[3], 3 * kHour / 4);
  // After the due time the next wait is half the distance to the next one.
  EXPECT_EQ(waits.back(), 12 * kHour - late_ms / 2);
}

TEST(WaitingLoop, ADueTimeThirtyDaysAwaySleepsAbout141HoursThenRechecks) {
  FakeClock clock(At(2023, 5, 1, 12));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 12 31 5 * *");  // 30 days from now
  Simulation simulation(clock, schedule);
  simulation.Run(200 * kHour, 200);

  const std::vector<int64_t>& waits = simulation.Waits();
  const auto first_short = std::find(waits.begin(), waits.end(), 50);
  ASSERT_NE(first_short, waits.end());
  // 360 h, 180 h, 90 h and 45 h are each capped at 24 h; then 22.5 h, 11.25 h, ...
  EXPECT_EQ(std::vector<int64_t>(waits.begin(), waits.begin() + 6),
            (std::vector<int64_t>{24 * kHour, 24 * kHour, 24 * kHour, 24 * kHour, 45 * kHour / 2,
                                  45 * kHour / 4}));
  const int64_t slept = std::accumulate(waits.begin(), first_short, int64_t{0});
  EXPECT_NEAR(static_cast<double>(slept) / kHour, 141.0, 0.1);
  EXPECT_TRUE(std::all_of(first_short, waits.end(), [](int64_t w) { return w == 50; }));
  EXPECT_TRUE(simulation.Fired().empty());

  // The rest of the way goes by 50 ms re-checks; skip to just before the due time.
  clock.SetLocalNow(At(2023, 5, 31, 11, 59, 59, 990));
  simulation.Run(100);
  ASSERT_EQ(simulation.Fired().size(), 1u);
  EXPECT_EQ(Text(simulation.Fired()[0]), "2023-05-31 12:00:00.040");
}

TEST(WaitingLoop, TheWaitLeavesOutThePassOwnTime) {
  FakeClock clock(At(2023, 5, 10, 21, 59, 59, 990));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 22 * * * *");
  TWaitingLoop loop(schedule, false);
  EXPECT_EQ(loop.Pass([] {}).WaitMs, 50);
  clock.AdvanceMs(50);
  // The handler's signalling takes 7 ms of this pass.
  const TWaitDecision decision = loop.Pass([&] { clock.AdvanceMs(7); });
  EXPECT_EQ(decision.State, TScheduleState::ssDue);
  EXPECT_EQ(decision.WaitMs, 12 * kHour - 20 - 7);
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
    EXPECT_EQ(Text(simulation.Fired()[0]), "2023-05-10 22:00:00.040");
    const int64_t late_ms =
        std::llround((simulation.Fired()[1] - At(2023, 5, 11, 22)) * kMSecsPerDay);
    EXPECT_GE(late_ms, 0);
    EXPECT_LT(late_ms, 50);
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
  const int64_t late_ms =
      std::llround((simulation.Fired()[3] - At(2023, 5, 10, 13)) * kMSecsPerDay);
  EXPECT_GE(late_ms, 0);
  EXPECT_LT(late_ms, 50);
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
  TWaitingLoop loop(schedule, true);
  EXPECT_EQ(Text(schedule.NextTime()), "2023-05-10 12:00:00.000");
  EXPECT_EQ(loop.Interval(), 2 * kHour);
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
