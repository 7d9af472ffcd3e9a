// Scheduled events with their real threads and windows: the starting thread pumps its messages
// here as the plug-in's loading thread does.
#include "schedule/scheduled_event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

#include "platform/application.h"
#include "platform/message_loop.h"
#include "platform/thread.h"
#include "platform/time_change.h"
#include "schedule/sch_event_list.h"
#include "support/fake_clock.h"

namespace chronel {
namespace {

using Clock = std::chrono::steady_clock;
using test::FakeClock;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

// Pumps the calling thread's messages until `done` answers true or the time-out passes.
bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 10'000) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    platform::ProcessMessages();
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    platform::WaitForMessages(20);
  }
}

// What the handlers saw: how often each ran, on which thread, at which wall-clock time.
struct Recorder {
  std::mutex mutex;
  std::vector<platform::ThreadId> threads;
  std::vector<TDateTime> times;
  int starts = 0, stops = 0, finished = 0, expired = 0, run_limits = 0;

  void Attach(TScheduledEvent& event) {
    event.OnSchedule = [this](TScheduledEvent&) {
      std::lock_guard lock(mutex);
      threads.push_back(platform::CurrentThreadId());
      times.push_back(platform::CurrentClock().LocalNow());
    };
    event.OnStart = [this](TScheduledEvent&) { ++starts; };
    event.OnStop = [this](TScheduledEvent&) { ++stops; };
    event.OnFinished = [this](TScheduledEvent&) { ++finished; };
    event.OnExpired = [this](TScheduledEvent&) { ++expired; };
    event.OnRunLimit = [this](TScheduledEvent&) { ++run_limits; };
  }
  size_t Runs() {
    std::lock_guard lock(mutex);
    return times.size();
  }
};

TEST(ScheduledEvent, FiresEverySecondOnTheStartingThread) {
  struct Case {
    TSignalingType type;
    size_t runs;
  };
  const Case cases[] = {{TSignalingType::stWindowMessage, 3},
                        {TSignalingType::stTimerMessage, 2},
                        {TSignalingType::stSynchronized, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    Recorder recorder;
    TScheduledEvent event("0");
    event.SetSignalingType(c.type);
    event.Schedule().SetScheduleText("* * * * * * *");
    recorder.Attach(event);
    ASSERT_TRUE(event.Start(false));
    EXPECT_TRUE(PumpUntil([&] { return recorder.Runs() >= c.runs; }));
    event.Stop();

    EXPECT_EQ(event.RunCount(), static_cast<int64_t>(recorder.Runs()));
    std::set<int64_t> seconds;
    for (size_t i = 0; i < recorder.Runs(); ++i) {
      EXPECT_EQ(recorder.threads[i], platform::CurrentThreadId());
      // Each run follows its due second closely (the wait re-checks every 50 ms near the end;
      // the margin allows for a busy test machine).
      const int64_t ms = std::llround(recorder.times[i] * kMSecsPerDay);
      EXPECT_LT(ms % 1000, 500) << DateTimeToTextMs(recorder.times[i]);
      seconds.insert(ms / 1000);
    }
    EXPECT_EQ(seconds.size(), recorder.Runs());  // one run per due second
  }
}

TEST(ScheduledEvent, WorkerThreadsRunTheHandlerOffTheStartingThread) {
  Recorder recorder;
  {
    TScheduledEvent event("worker");
    event.SetSignalingType(TSignalingType::stWorkerThread);
    event.Schedule().SetScheduleText("* * * * * * *");
    recorder.Attach(event);
    ASSERT_TRUE(event.Start(true));
    EXPECT_TRUE(PumpUntil([&] { return recorder.Runs() >= 2; }));
  }  // freeing waits for handlers still running
  std::lock_guard lock(recorder.mutex);
  for (platform::ThreadId id : recorder.threads) EXPECT_NE(id, platform::CurrentThreadId());
  EXPECT_EQ(recorder.stops, 1);
}

TEST(ScheduledEvent, StopRightAfterStartEndsTheThreadAtOnce) {
  Recorder recorder;
  TScheduledEvent event("0");
  event.Schedule().SetScheduleText("0 0 0 1 1 * *");
  recorder.Attach(event);
  const auto started = Clock::now();
  ASSERT_TRUE(event.Start(false));
  EXPECT_TRUE(event.Running());
  event.Stop();
  EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(1000));
  EXPECT_FALSE(event.Running());
  platform::ProcessMessages();
  EXPECT_EQ(recorder.Runs(), 0u);
  EXPECT_EQ(recorder.starts, 1);
  EXPECT_EQ(recorder.stops, 1);
  event.Stop();  // not running: nothing happens
  EXPECT_EQ(recorder.stops, 1);
}

TEST(ScheduledEvent, AScheduleThatNeverFallsDueDoesNotStart) {
  Recorder recorder;
  TScheduledEvent event("0");
  event.Schedule().SetScheduleText("0 0 0 30 2 * *");
  recorder.Attach(event);
  EXPECT_FALSE(event.Start(false));
  EXPECT_FALSE(event.Running());
  EXPECT_EQ(recorder.starts, 0);
}

TEST(ScheduledEvent, TheSignalingTypeIsFixedWhileRunning) {
  TScheduledEvent event("0");
  EXPECT_EQ(event.SignalingType(), TSignalingType::stWindowMessage);
  event.Schedule().SetScheduleText("0 0 0 1 1 * *");
  ASSERT_TRUE(event.Start(false));
  try {
    event.SetSignalingType(TSignalingType::stWorkerThread);
    ADD_FAILURE() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot change signaling type while running");
  }
  EXPECT_EQ(event.SignalingType(), TSignalingType::stWindowMessage);
  event.Stop();
  event.SetSignalingType(TSignalingType::stWorkerThread);
  EXPECT_EQ(event.SignalingType(), TSignalingType::stWorkerThread);
}

TEST(ScheduledEvent, AResumeOrTimeChangeRechecksAWaitingThreadAtOnce) {
  for (TSignalingType type : {TSignalingType::stWindowMessage, TSignalingType::stTimerMessage}) {
    SCOPED_TRACE(static_cast<int>(type));
    FakeClock clock(At(2023, 5, 10, 10));
    Recorder recorder;
    TScheduledEvent event("0");
    event.SetSignalingType(type);
    event.Schedule().SetScheduleText("0 0 22 * * * *");
    recorder.Attach(event);
    ASSERT_TRUE(event.Start(false));
    PumpUntil([] { return false; }, 200);  // the thread settles into its 6-hour wait
    EXPECT_EQ(recorder.Runs(), 0u);

    clock.ShiftLocalMs(12 * 3'600'000 + 200);  // slept through 22:00
    platform::RaiseTimeChangeForTesting();
    EXPECT_TRUE(PumpUntil([&] { return recorder.Runs() >= 1; }, 3000));
    EXPECT_EQ(recorder.Runs(), 1u);
    EXPECT_EQ(DateTimeToText(event.Schedule().NextTime()), "2023-05-11 22:00:00");
    event.Stop();
  }
}

TEST(ScheduledEvent, TheEndOfTheScheduleIsReportedOnTheStartingThread) {
  {
    FakeClock clock(At(2023, 5, 10, 10, 59, 59));
    Recorder recorder;
    TScheduledEvent event("last");
    event.Schedule().SetScheduleText("0 0 11 10 5 * 2023");
    recorder.Attach(event);
    ASSERT_TRUE(event.Start(false));
    clock.AdvanceMs(1000);
    EXPECT_TRUE(PumpUntil([&] { return recorder.finished == 1; }, 3000));
    EXPECT_EQ(recorder.Runs(), 1u);
    EXPECT_EQ(recorder.expired, 0);
    EXPECT_TRUE(event.Running());  // until stopped
    event.Stop();
  }
  {
    FakeClock clock(At(2023, 5, 10, 10, 59, 59));
    Recorder recorder;
    TScheduledEvent event("expiring");
    event.Schedule().SetEndTime(At(2023, 5, 10, 11, 0, 0, 500));
    event.Schedule().SetScheduleText("0 0 * * * * *");
    recorder.Attach(event);
    ASSERT_TRUE(event.Start(false));
    clock.AdvanceMs(2000);  // past the end before 11:00 was evaluated
    EXPECT_TRUE(PumpUntil([&] { return recorder.expired == 1; }, 3000));
    EXPECT_EQ(recorder.finished, 0);
    EXPECT_EQ(recorder.Runs(), 0u);
    event.Stop();
    EXPECT_EQ(recorder.stops, 1);
  }
}

TEST(ScheduledEvent, TheRunLimitStopsTheEvent) {
  Recorder recorder;
  TScheduledEvent event("0");
  event.SetRunLimit(2);
  event.Schedule().SetScheduleText("* * * * * * *");
  recorder.Attach(event);
  ASSERT_TRUE(event.Start(true));  // the first run at once
  EXPECT_TRUE(PumpUntil([&] { return !event.Running(); }, 5000));
  EXPECT_EQ(event.RunCount(), 2);
  EXPECT_EQ(recorder.run_limits, 1);
  EXPECT_EQ(recorder.stops, 1);
  event.Fire();  // stopped: does nothing
  EXPECT_EQ(event.RunCount(), 2);
}

TEST(ScheduledEvent, AMissingHandlerEndsTheThreadWithAnError) {
  std::mutex mutex;
  std::vector<std::string> errors;
  platform::SetApplicationExceptionHandler([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      std::lock_guard lock(mutex);
      errors.push_back(e.what());
    }
  });
  Recorder recorder;
  TScheduledEvent event("0");
  event.Schedule().SetScheduleText("0 0 0 1 1 * *");
  recorder.Attach(event);
  event.OnSchedule = nullptr;
  ASSERT_TRUE(event.Start(true));
  EXPECT_TRUE(PumpUntil(
      [&] {
        std::lock_guard lock(mutex);
        return !errors.empty();
      },
      3000));
  PumpUntil([] { return false; }, 100);  // the thread's end reaches the starting thread
  platform::SetApplicationExceptionHandler(nullptr);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "OnSchedule is not defined");
  EXPECT_EQ(recorder.finished + recorder.expired, 0);
  event.Stop();
}

TEST(SchEventList, TwoThousandStartedEventsFitTheProcess) {
  TSchEventList list;
  for (int i = 0; i < 2000; ++i) {
    TScheduledEvent& event = list.Add(std::to_string(i));
    event.Schedule().SetScheduleText("0 30 8 * * * *");
    event.OnSchedule = [](TScheduledEvent&) {};
    ASSERT_TRUE(event.Start(false)) << i;
  }
  for (size_t i = 0; i < list.Count(); ++i) EXPECT_TRUE(list.Events(i).Running());
  const auto started = Clock::now();
  list.Clear();
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
}

TEST(SchEventList, AddsDistinctEventsAndStopsThemWhenCleared) {
  TSchEventList list;
  std::vector<std::string> added;
  list.OnEventAdded = [&](TSchEventList&, TScheduledEvent& event) {
    added.push_back(event.Name());
  };
  TScheduledEvent& first = list.Add("0");
  TScheduledEvent& second = list.Add("0");
  EXPECT_NE(&first, &second);
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_EQ(&list.Events(1), &second);
  EXPECT_EQ(added, (std::vector<std::string>{"0", "0"}));
  try {
    list.Events(2);
    ADD_FAILURE() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "List index out of bounds (2)");
  }

  int stops = 0;
  for (TScheduledEvent* event : {&first, &second}) {
    event->Schedule().SetScheduleText("0 0 0 1 1 * *");
    event->OnStop = [&](TScheduledEvent&) { ++stops; };
    ASSERT_TRUE(event->Start(false));
  }
  const auto started = Clock::now();
  list.Clear();
  EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(2 * kStopTimeoutMs));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(stops, 2);
}

}  // namespace
}  // namespace chronel
