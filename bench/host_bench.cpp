// The plug-in as a host sees it, through the real library loaded at run time: commands per
// second from one and from several host threads, log lines per second from the plug-in's AddLog
// to the host's GetLogEx, and how soon the host window hears that a line waits.
//
// The log figures need the plug-in to write lines on demand. A command that raises does: the
// framework answers -3 and queues "Exception in command ..." for an instance that knows a host
// window, so SET-STATE with a RESULT that is no number makes one line per call.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <semaphore>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/host.h"
#include "platform/dynamic_library.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "plugin/call_block.h"
#include "plugin/params_list.h"

namespace {

using namespace chronel;
using Clock = std::chrono::steady_clock;
using host::PluginExport;
using platform::Variant;
using plugin::TkivParamsList;
using plugin::TPluginCallRec;

constexpr int32_t kResultException = -3;
// The raw command benchmark spreads its threads over this many instances.
constexpr int32_t kFirstSharedInstance = 100;
constexpr int32_t kSharedInstances = 4;
constexpr int32_t kLogInstance = 200;
constexpr int32_t kQuietInstance = 201;
// Room for the plug-in's whole queue of 100 lines.
constexpr size_t kLogBufferSize = 64 * 1024;
constexpr uint32_t kNoticeTimeoutMs = 5000;

// The library stays loaded for the whole run, as a host keeps it; the benchmarks that go
// through THost load it once more on top.
const host::TPluginExports& Plugin() {
  static const std::unique_ptr<platform::DynamicLibrary> library = [] {
    std::string error;
    auto loaded = platform::DynamicLibrary::Open(CHRONEL_PLUGIN_PATH, error);
    if (!loaded) throw std::runtime_error(error);
    return loaded;
  }();
  static const host::TPluginExports exports(*library);
  return exports;
}

int32_t CallExport(PluginExport which, TPluginCallRec* block) {
  return Plugin().As<host::IntegerFunction>(which)(block);
}

TPluginCallRec NewCallBlock(int32_t instance, TkivParamsList* list) {
  TPluginCallRec block{};
  block.Version = plugin::kCallBlockVersion;
  block.InstanceID = instance;
  block.ParamList = list;
  return block;
}

void ReleaseInstance(int32_t instance) {
  TPluginCallRec block = NewCallBlock(instance, nullptr);
  block.Release = plugin::kReleaseInstance;
  CallExport(PluginExport::ExecutePluginCommand, &block);
}

Variant HandleValue(platform::WindowHandle window) {
  return Variant(static_cast<int64_t>(window));
}

// A command's call block and parameter list, built once by the host and sent again and again.
class THostCommand {
 public:
  THostCommand(int32_t instance, std::initializer_list<std::pair<const char*, Variant>> params)
      : list_(plugin::NewParamsList()), block_(NewCallBlock(instance, list_)) {
    for (const auto& [name, value] : params) plugin::AddValue(*list_, name, value);
  }
  ~THostCommand() { plugin::FreeParamsList(list_); }
  THostCommand(const THostCommand&) = delete;
  THostCommand& operator=(const THostCommand&) = delete;

  int32_t Execute() { return CallExport(PluginExport::ExecutePluginCommand, &block_); }

 private:
  TkivParamsList* list_;
  TPluginCallRec block_;
};

// One line per call, for an instance whose host window is `window`.
THostCommand RaisingCommand(platform::WindowHandle window) {
  return THostCommand(kLogInstance, {{"COMMAND", Variant("SET-STATE")},
                                     {"RESULT", Variant("abc")},
                                     {"MessagesProcessorHandle", HandleValue(window)}});
}

// GetLogEx into a buffer that holds the whole queue; answers the number of lines taken.
int64_t CollectLogLines(int32_t instance) {
  static thread_local std::vector<char> buffer(kLogBufferSize);
  TPluginCallRec block = NewCallBlock(instance, nullptr);
  block.In.DataSize = static_cast<int32_t>(buffer.size());
  block.In.Data = reinterpret_cast<uintptr_t>(buffer.data());
  const int32_t copied = CallExport(PluginExport::GetLogEx, &block);
  return std::count(buffer.data(), buffer.data() + std::max(copied, 0), '\n');
}

// The plug-in reports every exception of a command to the process's reporter, which writes it
// to standard error; the log benchmarks send that to /dev/null instead of the terminal.
class TSilencedStandardError {
 public:
  TSilencedStandardError() : saved_(dup(STDERR_FILENO)) {
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    close(null);
  }
  ~TSilencedStandardError() {
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

// A message window of the benchmark thread standing in for the host window: it counts the
// plug-in's log notices and notes when the last one arrived. Create, pump and destroy it on
// one thread.
class TNoticeWindow {
 public:
  TNoticeWindow()
      : handle_(platform::CreateMessageWindow(
            [this](platform::WindowHandle, uint32_t message, platform::WParam,
                   platform::LParam) -> platform::LResult {
              if (message != host::kLogPendingMessage) return 0;
              lastNotice_ = Clock::now();
              ++notices_;
              return 0;
            })) {}
  ~TNoticeWindow() { platform::DestroyMessageWindow(handle_); }
  TNoticeWindow(const TNoticeWindow&) = delete;
  TNoticeWindow& operator=(const TNoticeWindow&) = delete;

  platform::WindowHandle Handle() const { return handle_; }
  int64_t Notices() const { return notices_; }
  Clock::time_point LastNotice() const { return lastNotice_; }

  // Pumps until more than `seen` notices arrived; false after kNoticeTimeoutMs.
  bool PumpUntilNoticeAfter(int64_t seen) {
    const auto giveUp = Clock::now() + std::chrono::milliseconds(kNoticeTimeoutMs);
    for (;;) {
      platform::ProcessMessages();
      if (notices_ > seen) return true;
      if (Clock::now() >= giveUp) return false;
      platform::WaitForMessages(kNoticeTimeoutMs);
    }
  }

 private:
  platform::WindowHandle handle_;
  int64_t notices_ = 0;
  Clock::time_point lastNotice_;
};

// --- commands

// EVENTS-SUPPORT: the dispatcher's own work plus one value written into the host's list.
void CommandsThroughReferenceHost(benchmark::State& state) {
  host::TTimeline timeline([](const std::string&) {});
  host::THost host(CHRONEL_PLUGIN_PATH, timeline);
  const std::vector<host::THostParam> params{{"RESULT", Variant("")}};
  for (auto _ : state) {
    if (host.Command(1, "EVENTS-SUPPORT", params) != 0) {
      state.SkipWithError("EVENTS-SUPPORT failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CommandsThroughReferenceHost);

// The same command from call blocks the host built once, each thread its own, the threads
// spread over kSharedInstances instances (the plug-in allows several threads per instance).
void CommandsThroughExports(benchmark::State& state) {
  THostCommand command(kFirstSharedInstance + state.thread_index() % kSharedInstances,
                       {{"COMMAND", Variant("EVENTS-SUPPORT")}, {"RESULT", Variant("")}});
  for (auto _ : state) {
    if (command.Execute() != 0) {
      state.SkipWithError("EVENTS-SUPPORT failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
void ReleaseSharedInstances(const benchmark::State&) {
  for (int32_t i = 0; i < kSharedInstances; ++i) ReleaseInstance(kFirstSharedInstance + i);
}
BENCHMARK(CommandsThroughExports)
    ->Threads(1)
    ->Threads(2)
    ->Threads(8)
    ->UseRealTime()
    ->Teardown(ReleaseSharedInstances);

// --- log lines

// Per batch: the raising command `batch` times (each: the exception, its report, AddLog's
// formatting, queueing and notice), the posted notices handled by the benchmark thread's
// window, then one GetLogEx that takes the batch. A batch of 1 is a host that collects on
// every notice; 100 is the most the queue keeps.
void LogLinesThroughExports(benchmark::State& state) {
  const int64_t batch = state.range(0);
  TSilencedStandardError silenced;
  TNoticeWindow window;
  THostCommand raising = RaisingCommand(window.Handle());
  int64_t lines = 0;
  for (auto _ : state) {
    int64_t raised = 0;
    for (int64_t i = 0; i < batch; ++i) raised += raising.Execute() == kResultException;
    platform::ProcessMessages();
    const int64_t taken = CollectLogLines(kLogInstance);
    if (raised != batch || taken != batch) {
      state.SkipWithError("the batch did not raise and arrive whole");
      break;
    }
    lines += taken;
  }
  state.SetItemsProcessed(lines);
  ReleaseInstance(kLogInstance);
}
BENCHMARK(LogLinesThroughExports)->ArgName("batch")->Arg(1)->Arg(100);

// The same raising command for an instance that knows no host window, so its line is dropped:
// what the exception and its report cost alone, to set against the figures above.
void RaisingCommandWithoutHostWindow(benchmark::State& state) {
  TSilencedStandardError silenced;
  THostCommand raising(kQuietInstance,
                       {{"COMMAND", Variant("SET-STATE")}, {"RESULT", Variant("abc")}});
  for (auto _ : state) {
    if (raising.Execute() != kResultException) {
      state.SkipWithError("SET-STATE did not raise");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
  ReleaseInstance(kQuietInstance);
}
BENCHMARK(RaisingCommandWithoutHostWindow);

// End to end through the reference host: THost builds each command's list, and its window
// collects with GetLogEx on the first notice of the batch, describing every line on its
// timeline (the notices after it find the queue empty).
void LogLinesThroughReferenceHost(benchmark::State& state) {
  const int64_t batch = state.range(0);
  TSilencedStandardError silenced;
  int64_t lines = 0;
  host::TTimeline timeline([&lines](const std::string& line) {
    if (line.find("log (error)") != std::string::npos) ++lines;
  });
  host::THost host(CHRONEL_PLUGIN_PATH, timeline);
  if (host.Command(kLogInstance, "LOAD") != 0) state.SkipWithError("LOAD failed");
  const std::vector<host::THostParam> params{{"RESULT", Variant("abc")}};
  for (auto _ : state) {
    const int64_t wanted = lines + batch;
    for (int64_t i = 0; i < batch; ++i) host.Command(kLogInstance, "SET-STATE", params);
    if (!host.PumpUntil([&] { return lines >= wanted; }, kNoticeTimeoutMs)) {
      state.SkipWithError("the lines did not reach the host");
      break;
    }
  }
  state.SetItemsProcessed(lines);
}
BENCHMARK(LogLinesThroughReferenceHost)->ArgName("batch")->Arg(100);

// --- notice latency

// Runs the raising command on a thread of its own whenever asked, noting when it started: a
// line written on another thread while the host thread sleeps in its message wait, as the
// plug-in's schedule and hotkey threads write them.
class TCommandThread {
 public:
  explicit TCommandThread(THostCommand& command)
      : thread_([this, &command](std::stop_token stop) {
          for (;;) {
            go_.acquire();
            if (stop.stop_requested()) return;
            started_ = Clock::now();
            command.Execute();
          }
        }) {}
  ~TCommandThread() {
    thread_.request_stop();
    go_.release();
  }

  void Run() { go_.release(); }
  // Valid once the notice of the run arrived: the command wrote it after noting the start.
  Clock::time_point Started() const { return started_; }

 private:
  std::binary_semaphore go_{0};
  std::atomic<Clock::time_point> started_;
  std::jthread thread_;
};

// From just before the command that logs until the host window's procedure sees 1809, the
// window pumped by the benchmark thread. Arg 0: the benchmark thread sends the command and then
// pumps; 1: another thread sends it while the benchmark thread waits for messages. Each line
// is collected after its sample, outside the measured time.
void LogNoticeLatency(benchmark::State& state) {
  const bool fromOtherThread = state.range(0) != 0;
  TSilencedStandardError silenced;
  TNoticeWindow window;
  THostCommand raising = RaisingCommand(window.Handle());
  TCommandThread other(raising);
  std::vector<double> samplesUs;
  for (auto _ : state) {
    const int64_t seen = window.Notices();
    Clock::time_point started = Clock::now();
    if (fromOtherThread) {
      other.Run();
    } else {
      raising.Execute();
    }
    if (!window.PumpUntilNoticeAfter(seen)) {
      state.SkipWithError("no notice reached the host window");
      break;
    }
    if (fromOtherThread) started = other.Started();
    const std::chrono::duration<double> latency = window.LastNotice() - started;
    state.SetIterationTime(latency.count());
    samplesUs.push_back(latency.count() * 1e6);
    CollectLogLines(kLogInstance);
  }
  ReleaseInstance(kLogInstance);
  if (samplesUs.empty()) return;
  std::sort(samplesUs.begin(), samplesUs.end());
  state.counters["p50_us"] = samplesUs[samplesUs.size() / 2];
  state.counters["p99_us"] = samplesUs[samplesUs.size() * 99 / 100];
  state.counters["max_us"] = samplesUs.back();
}
BENCHMARK(LogNoticeLatency)
    ->ArgName("other_thread")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
