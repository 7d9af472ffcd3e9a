#include "schedule/schedule.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace chronel {
namespace {

using test::FakeClock;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

std::string Text(TDateTime value) { return value == 0 ? "none" : DateTimeToTextMs(value); }

TScheduleState Evaluate(TSchedule& schedule) {
  bool run_now = false;
  schedule.Evaluate(run_now);
  return schedule.State();
}

TEST(Schedule, StartsEmptyWithNextTimeNow) {
  FakeClock clock(At(2023, 5, 10, 12, 0, 0, 250));
  TSchedule schedule;
  EXPECT_EQ(schedule.ScheduleText(), "");
  EXPECT_EQ(schedule.Entries(), TChronSchedule{});
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 10, 12, 0, 0, 250)));
  EXPECT_EQ(schedule.State(), TScheduleState::ssWaiting);
  EXPECT_FALSE(schedule.Recalculate());  // never-set entries never fall due
}

TEST(Schedule, SettingTheTextRecalculatesFromNowOnlyWhenItChanges) {
  FakeClock clock(At(2023, 5, 10, 12));
  TSchedule schedule;
  schedule.SetScheduleText("0 30 12 * * * *");
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 10, 12, 30)));

  clock.AdvanceMs(3'600'000);
  schedule.SetScheduleText("0 30 12 * * * *");  // same text: not parsed, not recalculated
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 10, 12, 30)));
  schedule.SetScheduleText("0 30 12 * * * * ");
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 11, 12, 30)));
}

TEST(Schedule, AnInvalidTextRaisesAndKeepsTheSchedule) {
  FakeClock clock(At(2023, 5, 10, 12));
  TSchedule schedule;
  schedule.SetScheduleText("0 30 12 * * * *");
  clock.AdvanceMs(3'600'000);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssDue);
  const TDateTime next = schedule.NextTime();

  EXPECT_THROW(schedule.SetScheduleText("0 1,,2 * * * * *"), EConvertError);
  EXPECT_THROW(schedule.SetScheduleText("? ? ? ? ? ? ?"), ECronError);
  EXPECT_EQ(schedule.ScheduleText(), "0 30 12 * * * *");
  EXPECT_EQ(schedule.NextTime(), next);
  EXPECT_EQ(schedule.State(), TScheduleState::ssDue);
}

TEST(Schedule, DueMeansLessThanOneMillisecondAhead) {
  FakeClock clock(At(2023, 5, 10, 12, 29, 59, 998));
  TSchedule schedule;
  schedule.SetScheduleText("0 30 12 * * * *");
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);  // 2 ms ahead
  clock.AdvanceMs(1);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);  // exactly 1 ms ahead
  schedule.SetNextTime(clock.LocalNow() + 0.5 * kOneMillisecond);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssDue);
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 11, 12, 30)));
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);
}

TEST(Schedule, MissedDueTimesFallDueOneAtATime) {
  FakeClock clock(At(2023, 5, 10, 9, 59));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 * * * * *");
  clock.ShiftLocalMs(3 * 3'600'000);  // 12:59: 10:00, 11:00 and 12:00 were missed
  for (int hour : {11, 12, 13}) {
    EXPECT_EQ(Evaluate(schedule), TScheduleState::ssDue);
    EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 10, hour))) << hour;
  }
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);
}

TEST(Schedule, TheLastDueTimeAndTheEndTimeEndTheSchedule) {
  FakeClock clock(At(2023, 5, 10, 12));
  TSchedule schedule;
  schedule.SetScheduleText("0 0 13 10 5 * 2023");
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);
  clock.AdvanceMs(3'600'000);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssDueLast);
  EXPECT_EQ(schedule.NextTime(), 0);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);  // nothing more falls due
  EXPECT_EQ(schedule.NextTime(), 0);

  schedule.SetScheduleText("0 0 * * * * *");
  schedule.SetEndTime(At(2023, 5, 10, 13, 30));
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssWaiting);
  clock.AdvanceMs(3'600'000);
  EXPECT_EQ(Evaluate(schedule), TScheduleState::ssExpired);
}

TEST(Schedule, StartTimeAndRunNow) {
  FakeClock clock(At(2023, 5, 10, 12));
  TSchedule schedule;
  schedule.SetStartTime(At(2023, 5, 12, 6, 30));
  schedule.SetScheduleText("0 0 * * * * *");
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 12, 7)));

  // Asked to run now before the start time: waits for the start time instead.
  bool run_now = true;
  schedule.Evaluate(run_now);
  EXPECT_FALSE(run_now);
  EXPECT_EQ(schedule.State(), TScheduleState::ssWaiting);
  EXPECT_EQ(Text(schedule.NextTime()), Text(At(2023, 5, 12, 6, 30)));

  schedule.SetStartTime(0);
  run_now = true;
  schedule.Evaluate(run_now);
  EXPECT_FALSE(run_now);
  EXPECT_EQ(schedule.State(), TScheduleState::ssDue);
}

TEST(Schedule, AnHourOutOfRangeFailsWhenCalculated) {
  FakeClock clock(At(2023, 5, 10, 12));
  TSchedule schedule;
  try {
    schedule.SetScheduleText("0 0 25 * * * *");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "''2023-05-10 25:00:00'' is not a valid date and time");
  }
  // The text was parsed; only the calculation failed.
  EXPECT_EQ(schedule.ScheduleText(), "0 0 25 * * * *");
  EXPECT_THROW(schedule.Recalculate(), EConvertError);
}

}  // namespace
}  // namespace chronel
