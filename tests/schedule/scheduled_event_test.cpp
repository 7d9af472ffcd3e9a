// Scheduled events with their real threads and windows: the starting thread pumps its messages
// here as the plug-in's loading thread does.
#include "schedule/scheduled_event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
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

constexpr TSignalingType kEveryType[] = {
    TSignalingType::stWorkerThread, TSignalingType::stSynchronized,
    TSignalingType::stWindowMessage, TSignalingType::stTimerMessage};

// Collects the errors that reach the central handler while it lives.
class ErrorCollector {
 public:
  ErrorCollector() {
    platform::SetApplicationExceptionHandler([this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        std::lock_guard lock(mutex_);
        errors_.push_back(e.what());
      }
    });
  }
  ~ErrorCollector() { platform::SetApplicationExceptionHandler(nullptr); }

  std::vector<std::string> Errors() const {
    std::lock_guard lock(mutex_);
    return errors_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> errors_;
};

// The fake clock with hooks around each wall-clock reading, for faults that hinge on the moment
// a thread reads the time: `before` runs on the reading thread before the time is taken (it may
// hold the thread there), `after` once it was taken (it may set the clock, as if that happened
// right after the reading).
class THookedClock final : public platform::Clock {
 public:
  struct THooks {
    std::function<void()> before = nullptr;
    std::function<void()> after = nullptr;
  };

  TDateTime LocalNow() const override {
    const THooks hooks = Hooks();
    if (hooks.before) hooks.before();
    const TDateTime now = fake_.LocalNow();
    if (hooks.after) hooks.after();
    return now;
  }
  uint32_t TickCount() const override { return fake_.TickCount(); }
  int64_t HighResCounter() const override { return fake_.HighResCounter(); }
  int64_t HighResFrequency() const override { return fake_.HighResFrequency(); }

  FakeClock& Fake() { return fake_; }
  void SetHooks(THooks hooks) {
    std::lock_guard lock(mutex_);
    hooks_ = std::move(hooks);
  }

 private:
  THooks Hooks() const {
    std::lock_guard lock(mutex_);
    return hooks_;
  }

  FakeClock fake_{0};
  mutable std::mutex mutex_;
  THooks hooks_;
};

// Puts the program's one hooked clock in force at `now` while it lives. A schedule thread that a
// test left behind may still read the clock after that test, so the clock is never freed.
class HookedClockInForce {
 public:
  explicit HookedClockInForce(TDateTime now) : clock_(TheClock()) {
    clock_.Fake().SetLocalNow(now);
    platform::SetClockForTesting(&clock_);
  }
  ~HookedClockInForce() {
    platform::SetClockForTesting(nullptr);
    clock_.SetHooks({});
  }
  HookedClockInForce(const HookedClockInForce&) = delete;
  HookedClockInForce& operator=(const HookedClockInForce&) = delete;

  THookedClock& operator*() const { return clock_; }
  THookedClock* operator->() const { return &clock_; }

 private:
  static THookedClock& TheClock() {
    static auto* clock = new THookedClock;
    return *clock;
  }

  THookedClock& clock_;
};

// A `before` hook that holds the first thread other than the test's own to read the clock until
// released, and then counts that thread's further readings.
class TStall {
 public:
  void BeforeReading() {
    const platform::ThreadId reader = platform::CurrentThreadId();
    std::unique_lock lock(mutex_);
    if (reader == test_thread_) return;
    if (held_ == 0) {
      held_ = reader;
      changed_.notify_all();
      changed_.wait(lock, [&] { return released_; });
      return;
    }
    if (reader != held_) return;
    ++held_readings_;
    changed_.notify_all();
  }

  bool WaitUntilHeld(int timeout_ms) {
    return WaitFor([&] { return held_ != 0; }, timeout_ms);
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  bool WaitForHeldReadings(int count, int timeout_ms) {
    return WaitFor([&] { return held_readings_ >= count; }, timeout_ms);
  }

 private:
  bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), done);
  }

  const platform::ThreadId test_thread_ = platform::CurrentThreadId();
  std::mutex mutex_;
  std::condition_variable changed_;
  platform::ThreadId held_ = 0;
  bool released_ = false;
  int held_readings_ = 0;
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
      // Each run follows its due second closely (the last wait ends on it; the margin allows
      // for a busy test machine).
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
  for (TSignalingType type : kEveryType) {
    SCOPED_TRACE(static_cast<int>(type));
    {
      FakeClock clock(At(2023, 5, 10, 10, 59, 59));
      Recorder recorder;
      TScheduledEvent event("last");
      event.SetSignalingType(type);
      event.Schedule().SetScheduleText("0 0 11 10 5 * 2023");
      recorder.Attach(event);
      ASSERT_TRUE(event.Start(false));
      clock.AdvanceMs(1000);
      EXPECT_TRUE(PumpUntil([&] { return recorder.finished == 1 && recorder.Runs() == 1; }, 3000));
      EXPECT_EQ(recorder.expired, 0);
      EXPECT_TRUE(event.Running());  // until stopped
      event.Stop();
    }
    {
      FakeClock clock(At(2023, 5, 10, 10, 59, 59));
      Recorder recorder;
      TScheduledEvent event("expiring");
      event.SetSignalingType(type);
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

TEST(ScheduledEvent, AHandlerThatRaisesOnTheLastRunStillStopsTheEvent) {
  for (TSignalingType type : kEveryType) {
    SCOPED_TRACE(static_cast<int>(type));
    ErrorCollector errors;
    std::atomic<int> run_limits{0};
    TScheduledEvent event("0");
    event.SetSignalingType(type);
    event.SetRunLimit(1);
    event.Schedule().SetScheduleText("* * * * * * *");
    event.OnSchedule = [](TScheduledEvent&) { throw Exception("handler failed"); };
    event.OnRunLimit = [&run_limits](TScheduledEvent&) { ++run_limits; };
    ASSERT_TRUE(event.Start(true));
    EXPECT_TRUE(PumpUntil([&] { return !event.Running() && !errors.Errors().empty(); }, 3000));
    EXPECT_EQ(event.RunCount(), 1);
    EXPECT_EQ(run_limits, 1);
    EXPECT_EQ(errors.Errors(), std::vector<std::string>{"handler failed"});
  }
}

TEST(ScheduledEvent, AWorkerLeftFromAnEarlierRunDoesNotStopTheRestartedOne) {
  // The first run's worker reaches that run's limit after the event was restarted without one.
  TScheduledEvent event("0");
  event.SetSignalingType(TSignalingType::stWorkerThread);
  event.SetRunLimit(1);
  event.Schedule().SetScheduleText("0 0 0 1 1 * *");
  std::atomic<bool> entered{false};
  std::atomic<bool> release{false};
  std::atomic<bool> limit_reached{false};
  event.OnSchedule = [&](TScheduledEvent&) {
    entered = true;
    // Relaxed: like a handler that simply ran long, the worker learns nothing of what the
    // starting thread did meanwhile.
    while (!release.load(std::memory_order_relaxed)) platform::SleepMilliseconds(5);
  };
  event.OnRunLimit = [&limit_reached](TScheduledEvent&) { limit_reached = true; };
  ASSERT_TRUE(event.Start(true));
  ASSERT_TRUE(PumpUntil([&] { return entered.load(); }, 5000));

  event.Stop();
  event.SetRunLimit(0);
  ASSERT_TRUE(event.Start(false));
  release.store(true, std::memory_order_relaxed);
  EXPECT_TRUE(PumpUntil([&] { return limit_reached.load(); }, 5000));
  PumpUntil([] { return false; }, 500);  // a stop the worker sent would arrive meanwhile
  EXPECT_TRUE(event.Running());
  event.Stop();
}

TEST(ScheduledEvent, AWorkerRunsTheLastDueTimeEvenWhenOnFinishedStopsOrFreesTheEvent) {
  // The end may be reported before the last worker reached its handler; stopping or freeing
  // the event in OnFinished must not lose that run. Many events give the race many chances.
  FakeClock clock(At(2023, 5, 10, 10, 59, 59));
  constexpr int kEvents = 300;
  std::atomic<int> runs{0};
  int finished = 0;
  int counted_at_finish = 0;
  std::vector<std::unique_ptr<TScheduledEvent>> events;
  for (int i = 0; i < kEvents; ++i) {
    TScheduledEvent& event = *events.emplace_back(std::make_unique<TScheduledEvent>("e"));
    event.SetSignalingType(TSignalingType::stWorkerThread);
    event.Schedule().SetScheduleText("0 0 11 10 5 * 2023");
    event.OnSchedule = [&runs](TScheduledEvent&) { ++runs; };
    event.OnFinished = [&, i](TScheduledEvent& sender) {
      ++finished;
      if (sender.RunCount() == 1) ++counted_at_finish;
      if (i % 2 == 0) {
        events[i].reset();
        return;
      }
      sender.Stop();
    };
    ASSERT_TRUE(event.Start(false));
  }
  clock.AdvanceMs(1000);
  EXPECT_TRUE(PumpUntil([&] { return finished == kEvents; }));
  events.clear();  // waits for handlers still running on workers
  EXPECT_EQ(counted_at_finish, kEvents);
  EXPECT_EQ(runs, kEvents);
}

TEST(ScheduledEvent, ASynchronizedHandlerThatRestartsItsEventIsStillWaitedFor) {
  // The first run restarts the event. The second moves the clock past the next due time and
  // wakes the new schedule thread, which must still be waiting for this handler.
  FakeClock clock(At(2023, 5, 10, 10));
  TScheduledEvent event("0");
  event.SetSignalingType(TSignalingType::stSynchronized);
  event.Schedule().SetScheduleText("* * * * * * *");
  int runs = 0;
  bool moved_on_during_the_run = false;
  event.OnSchedule = [&](TScheduledEvent& sender) {
    if (++runs == 1) {
      sender.Start(false);
      return;
    }
    if (runs > 2) return;
    const TDateTime next = sender.Schedule().NextTime();
    clock.AdvanceMs(1000);
    platform::RaiseTimeChangeForTesting();
    platform::SleepMilliseconds(500);
    moved_on_during_the_run = sender.Schedule().NextTime() != next;
  };
  ASSERT_TRUE(event.Start(false));
  for (int run = 1; run <= 2; ++run) {
    clock.AdvanceMs(1000);
    ASSERT_TRUE(PumpUntil([&] { return runs >= run; }, 5000));
  }
  EXPECT_FALSE(moved_on_during_the_run);
  event.Stop();
}

TEST(ScheduledEvent, ASynchronizedHandlerMayFreeItsEvent) {
  auto event = std::make_unique<TScheduledEvent>("0");
  event->SetSignalingType(TSignalingType::stSynchronized);
  event->Schedule().SetScheduleText("0 0 0 1 1 * *");
  int runs = 0;
  event->OnSchedule = [&](TScheduledEvent&) {
    ++runs;
    event.reset();
  };
  ASSERT_TRUE(event->Start(true));
  EXPECT_TRUE(PumpUntil([&] { return event == nullptr; }, 5000));
  EXPECT_EQ(runs, 1);
}

TEST(ScheduledEvent, AThreadLeftBehindByStopLeavesTheRestartedRunItsDueTime) {
  // The first run's thread is held in a re-check until Stop gave up on it and the event was
  // restarted; it then finishes its pass past the due time, before the new thread looks again.
  // Both runs start with a run now: once that run is seen, its thread has read the clock for
  // the pass and sleeps for half an hour.
  HookedClockInForce clock(At(2023, 5, 10, 10));
  Recorder recorder;
  TScheduledEvent event("0");
  event.Schedule().SetScheduleText("0 0 11 * * * *");
  recorder.Attach(event);
  ASSERT_TRUE(event.Start(true));
  ASSERT_TRUE(PumpUntil([&] { return recorder.Runs() == 1; }));

  const auto stall = std::make_shared<TStall>();
  clock->SetHooks({.before = [stall] { stall->BeforeReading(); }});
  platform::RaiseTimeChangeForTesting();
  ASSERT_TRUE(stall->WaitUntilHeld(5000));
  event.Stop();  // gives up on the held thread
  ASSERT_TRUE(event.Start(true));
  ASSERT_TRUE(PumpUntil([&] { return recorder.Runs() == 2; }));

  // Set, not advanced: a pass's measure of its own time must not jump.
  clock->Fake().ShiftLocalMs(3'600'000 + 1000);
  stall->Release();
  // The held reading evaluates the schedule, at 11:00:01; the next two size the pass's wait.
  ASSERT_TRUE(stall->WaitForHeldReadings(2, 10000));
  platform::RaiseTimeChangeForTesting();
  EXPECT_TRUE(PumpUntil([&] { return recorder.Runs() == 3; }, 3000));
  event.Stop();
}

TEST(ScheduledEvent, AClockChangeRightAfterStartReadTheClockIsNotMissed) {
  // In timer mode the first wait is half the time to the due time. Every reading Start takes
  // is followed at once by the clock being set 30 s on, and its signal; the last of these
  // passes the due time.
  HookedClockInForce clock(At(2023, 5, 10, 10, 0, 0, 500));
  Recorder recorder;
  TScheduledEvent event("0");
  event.SetSignalingType(TSignalingType::stTimerMessage);
  event.Schedule().SetScheduleText("0 * * * * * *");
  recorder.Attach(event);
  clock->SetHooks({.after = [&hooked = *clock] {
    hooked.Fake().ShiftLocalMs(30'000);
    platform::RaiseTimeChangeForTesting();
  }});
  ASSERT_TRUE(event.Start(false));
  clock->SetHooks({});
  EXPECT_TRUE(PumpUntil([&] { return recorder.Runs() == 1; }, 1500));
  event.Stop();
}

TEST(ScheduledEvent, AMissingHandlerEndsTheThreadWithAnError) {
  ErrorCollector errors;
  Recorder recorder;
  TScheduledEvent event("0");
  event.Schedule().SetScheduleText("0 0 0 1 1 * *");
  recorder.Attach(event);
  event.OnSchedule = nullptr;
  ASSERT_TRUE(event.Start(true));
  EXPECT_TRUE(PumpUntil([&] { return !errors.Errors().empty(); }, 3000));
  PumpUntil([] { return false; }, 100);  // the thread's end reaches the starting thread
  ASSERT_EQ(errors.Errors().size(), 1u);
  EXPECT_EQ(errors.Errors()[0], "OnSchedule is not defined");
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
