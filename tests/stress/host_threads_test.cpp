// Eight host threads drive four instances of the built library at once for about three seconds:
// commands, log and event collection, LOAD/UNLOAD pairs, and instances released and made again.
//
// Two instances stay loaded all along (a base LOAD from the start to the end). Their only
// source of log lines and events is the stored task that a PING event runs: one queued line and
// one event row per EVENT command. The host counts what it raised and what it collected, and
// raises no more while 50 lines are uncollected, so the 100-line bound of the queue never drops
// one: every line and every row must arrive exactly once. The other two instances are released
// and unloaded while others use them; for them only the result codes and the form of every line
// and row are checked.
//
// Like any host, every thread dispatches its window messages between calls and while it waits:
// an instance's timer window belongs to the thread that created it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/variant.h"
#include "plugin/call_block.h"
#include "plugin/params_list.h"

namespace chronel {
namespace {

using plugin::TkivParamsList;
using plugin::TPluginCallRec;
using platform::Variant;

constexpr int kThreads = 8;
constexpr auto kRunTime = std::chrono::seconds(3);
// No call waits this long unless a lock is held across a wait for another host thread.
constexpr auto kStuckCall = std::chrono::seconds(4);
constexpr int kLogBudget = 50;     // uncollected lines per instance: half the queue's bound
constexpr int kEventBudget = 500;  // uncollected rows: far below the queue's 20000 items
constexpr size_t kLogBufferSize = 16 * 1024;
constexpr uintptr_t kCopyDataQueuedLines = 1;  // else one line without its CR LF

// The stored task: a host event PING makes it generate the event "pong".
constexpr std::string_view kTaskLines =
    "[Common]\nTasks=00000001||EVENT||EVENT||PING||pong%0d%0a\n";
constexpr std::string_view kTaskLogLine = "\x03" "Chronel. Executing task: Generate event";

// SET-ITEMS texts and what ITEMS answers after each (or before any).
constexpr std::array<std::string_view, 3> kItemTexts = {
    "Time stamp|STAMP|datetime|1", "a|b|String|fmt\r\nc|d|Int64", "x|y|Nope"};
constexpr std::array<std::string_view, 4> kItemAnswers = {
    "Time stamp|STAMP|DateTime|1", "a|b|String|fmt\r\nc|d|Int64|", "x|y||", ""};

bool IsLogLine(std::string_view line) {
  constexpr std::string_view kTitle = "Chronel. ";
  return line.size() > kTitle.size() && line[0] >= 1 && line[0] <= 3 &&
         line.substr(1, kTitle.size()) == kTitle && line.find_first_of("\r\n") == line.npos;
}

// Lines each followed by CR LF; nothing when the text is not made of such lines.
std::optional<std::vector<std::string_view>> SplitLogText(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    if (end == text.npos) return std::nullopt;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  return lines;
}

// What the worker threads find wrong; the test thread reports it.
class Failures {
 public:
  void Add(std::string what) {
    std::lock_guard lock(mutex_);
    if (list_.size() < 20) list_.push_back(std::move(what));
  }
  std::vector<std::string> List() {
    std::lock_guard lock(mutex_);
    return list_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> list_;
};

// The host's side of one instance.
struct HostInstance {
  int32_t Id = 0;
  bool Steady = false;
  // One host thread at a time collects the instance's events or ends its working life, so the
  // list it was handed is not freed while it reads it.
  std::mutex Owning;
  std::atomic<int> LogOutstanding{0};
  std::atomic<int> EventsOutstanding{0};
  std::atomic<int64_t> LinesWritten{0};
  std::atomic<int64_t> LinesCollected{0};
  std::atomic<int64_t> EventsRaised{0};
  std::atomic<int64_t> EventsCollected{0};
};

bool Reserve(std::atomic<int>& outstanding, int limit) {
  if (outstanding.fetch_add(1) < limit) return true;
  outstanding.fetch_sub(1);
  return false;
}

// A host thread waits for another without ceasing to dispatch its own window messages.
std::unique_lock<std::mutex> LockDispatching(std::mutex& mutex) {
  std::unique_lock lock(mutex, std::try_to_lock);
  while (!lock.owns_lock()) {
    platform::ProcessMessages();
    std::this_thread::yield();
    lock.try_lock();
  }
  return lock;
}

struct PluginExports {
  using Call = int32_t(CHRONEL_STDCALL*)(TPluginCallRec*);
  using MinVersion = float(CHRONEL_STDCALL*)(TPluginCallRec*);
  Call ExecutePluginCommand = nullptr;
  Call GetLogEx = nullptr;
  Call GetEvents = nullptr;
  Call GetData = nullptr;
  Call ProcessData = nullptr;
  MinVersion GetAppMinVersion = nullptr;
};

struct OwnedListDeleter {
  void operator()(TkivParamsList* list) const { plugin::FreeParamsList(list); }
};
using OwnedList = std::unique_ptr<TkivParamsList, OwnedListDeleter>;

class HostThreadsStress : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library_ = platform::DynamicLibrary::Open(CHRONEL_PLUGIN_PATH, error);
    ASSERT_TRUE(library_) << error;
    exports_.ExecutePluginCommand = library_->As<PluginExports::Call>("ExecutePluginCommand");
    exports_.GetLogEx = library_->As<PluginExports::Call>("GetLogEx");
    exports_.GetEvents = library_->As<PluginExports::Call>("GetEvents");
    exports_.GetData = library_->As<PluginExports::Call>("GetData");
    exports_.ProcessData = library_->As<PluginExports::Call>("ProcessData");
    exports_.GetAppMinVersion = library_->As<PluginExports::MinVersion>("GetAppMinVersion");
    ASSERT_TRUE(exports_.ExecutePluginCommand && exports_.GetLogEx && exports_.GetEvents &&
                exports_.GetData && exports_.ProcessData && exports_.GetAppMinVersion);

    iniFile_ = std::filesystem::temp_directory_path() /
               ("chronel_stress_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                ".ini");
    std::ofstream(iniFile_, std::ios::binary) << kTaskLines;
    window_ = platform::CreateMessageWindow(
        [this](platform::WindowHandle, uint32_t message, platform::WParam wparam,
               platform::LParam lparam) { return HostWindow(message, wparam, lparam); });
    for (int i = 0; i < 4; ++i) {
      instances_[i].Id = i + 1;
      instances_[i].Steady = i < 2;
    }
  }

  void TearDown() override {
    if (!library_) return;
    for (HostInstance& instance : instances_) {
      if (instance.Steady) Unload(instance);  // the base LOAD's
      Release(instance);
    }
    platform::ProcessMessages();
    if (window_) platform::DestroyMessageWindow(window_);
    std::error_code ignored;
    std::filesystem::remove(iniFile_, ignored);
  }

  // --- the host window: lines sent directly arrive here, on the test thread

  platform::LResult HostWindow(uint32_t message, platform::WParam sender, platform::LParam lparam) {
    if (message != platform::kWmCopyData) return 0;
    const auto& record = platform::CopyDataOf(lparam);
    const std::string_view bytes(static_cast<const char*>(record.Data), record.Size);
    const auto lines = record.Tag == kCopyDataQueuedLines ? SplitLogText(bytes)
                                       : std::optional(std::vector<std::string_view>{bytes});
    if (!lines) failures_.Add("copy-data that is not log lines");
    for (std::string_view line : lines.value_or(std::vector<std::string_view>{})) {
      if (!IsLogLine(line)) failures_.Add("malformed line sent: " + std::string(line));
    }
    // The loaded instances only queue lines; one sent directly would escape the count.
    if (IsSteady(sender)) failures_.Add("instance " + std::to_string(sender) + " sent a line");
    return 1;
  }

  bool IsSteady(platform::WParam notifyId) const {
    return notifyId >= 1 && notifyId <= instances_.size() && instances_[notifyId - 1].Steady;
  }

  // --- calls

  TPluginCallRec Block(const HostInstance& instance, TkivParamsList* list) const {
    TPluginCallRec block{};
    block.Version = plugin::kCallBlockVersion;
    block.InstanceID = instance.Id;
    block.NotifyID = static_cast<uint32_t>(instance.Id);
    block.ParamList = list;
    return block;
  }

  // Every command names the host window, so an instance made again finds it at once.
  int32_t Command(HostInstance& instance, std::string_view command,
                  std::vector<std::pair<std::string_view, Variant>> params = {},
                  std::string* result = nullptr) {
    OwnedList list(plugin::NewParamsList());
    plugin::AddValue(*list, "COMMAND", Variant(command));
    plugin::AddValue(*list, "MessagesProcessorHandle", Variant(static_cast<int64_t>(window_)));
    for (const auto& [name, value] : params) plugin::AddValue(*list, name, value);
    TPluginCallRec block = Block(instance, list.get());
    const int32_t code = exports_.ExecutePluginCommand(&block);
    if (result) *result = plugin::GetValue(*list, "RESULT").ToText();
    return code;
  }

  void Expect(bool condition, const HostInstance& instance, const std::string& what) {
    if (!condition) failures_.Add("instance " + std::to_string(instance.Id) + ": " + what);
  }
  void ExpectCode(int32_t code, int32_t expected, const HostInstance& instance,
                  std::string_view call) {
    // A released instance may be found unloaded or made again under any call.
    const bool documented = code >= -3 && code <= 0;
    Expect(instance.Steady ? code == expected : documented, instance,
           std::string(call) + " answered " + std::to_string(code));
  }

  // Both name the same INI file, so the last UNLOAD has nothing to save.
  int32_t Load(HostInstance& instance) {
    return Command(instance, "LOAD", {{"INI-FILE", Variant(iniFile_.string())}});
  }
  int32_t Unload(HostInstance& instance) {
    auto owning = LockDispatching(instance.Owning);  // the last UNLOAD frees the event list
    return Command(instance, "UNLOAD", {{"INI-FILE", Variant(iniFile_.string())}});
  }

  void LoadUnloadPair(HostInstance& instance) {
    ExpectCode(Load(instance), 0, instance, "LOAD");
    platform::ProcessMessages();
    ExpectCode(Unload(instance), 0, instance, "UNLOAD");
  }

  void RaiseEvent(HostInstance& instance) {
    const bool counted = instance.Steady;
    if (counted && !Reserve(instance.LogOutstanding, kLogBudget)) return CollectLog(instance);
    if (counted && !Reserve(instance.EventsOutstanding, kEventBudget)) {
      instance.LogOutstanding.fetch_sub(1);
      return CollectEvents(instance);
    }
    ExpectCode(Command(instance, "EVENT", {{"EVENT-TYPE", Variant("PING")}}), 0, instance,
               "EVENT");
    if (!counted) return;
    ++instance.LinesWritten;
    ++instance.EventsRaised;
  }

  void CollectLog(HostInstance& instance) {
    std::vector<char> buffer(kLogBufferSize);
    TPluginCallRec block = Block(instance, nullptr);
    block.In.DataSize = static_cast<int32_t>(buffer.size());
    block.In.Data = reinterpret_cast<uintptr_t>(buffer.data());
    const int32_t length = exports_.GetLogEx(&block);
    if (length <= 0) return Expect(length == 0, instance, "GetLogEx answered a negative length");
    Expect(static_cast<size_t>(length) <= buffer.size(), instance, "GetLogEx overran the buffer");
    const auto lines = SplitLogText(std::string_view(buffer.data(), static_cast<size_t>(length)));
    if (!lines) return Expect(false, instance, "GetLogEx text is not lines ended by CR LF");
    for (std::string_view line : *lines) {
      Expect(instance.Steady ? line == kTaskLogLine : IsLogLine(line), instance,
             "malformed line collected: " + std::string(line));
    }
    instance.LinesCollected += static_cast<int64_t>(lines->size());
    instance.LogOutstanding -= static_cast<int>(lines->size());
  }

  // Too small a buffer: nothing is copied and the lines stay for the next collection.
  void ProbeLog(HostInstance& instance) {
    std::array<char, 1> buffer{'?'};
    TPluginCallRec block = Block(instance, nullptr);
    block.In.DataSize = 1;
    block.In.Data = reinterpret_cast<uintptr_t>(buffer.data());
    Expect(exports_.GetLogEx(&block) == 0 && buffer[0] == '?', instance,
           "GetLogEx wrote into a buffer too small for the lines");
  }

  // Rows of "EVENT-TYPE" = "PONG" and the separator; nothing else is ever raised.
  int64_t CountEventRows(const TkivParamsList& rows, const HostInstance& instance) {
    Expect(plugin::IsAlive(&rows) && rows.Count % 2 == 0, instance, "event list not whole rows");
    for (int32_t i = 0; i + 1 < rows.Count; i += 2) {
      const auto* type = plugin::ItemAt(rows, i);
      const auto* separator = plugin::ItemAt(rows, i + 1);
      const bool wellFormed = type && separator && plugin::ItemName(*type) == "EVENT-TYPE" &&
                              Variant::FromRaw(type->Value).ToText() == "PONG" &&
                              plugin::ItemName(*separator) == plugin::kNewRowName;
      Expect(wellFormed, instance, "malformed event row");
    }
    return rows.Count / 2;
  }

  // The two-step exchange: receive the list, read it, hand its address back to empty it.
  void CollectEvents(HostInstance& instance) {
    auto owning = LockDispatching(instance.Owning);
    OwnedList list(plugin::NewParamsList());
    TPluginCallRec block = Block(instance, list.get());
    const int32_t received = exports_.GetEvents(&block);
    ExpectCode(received, 0, instance, "GetEvents");
    if (received != 0) return;
    Expect(block.Out.DataKind == plugin::kDataKindParamsList && block.Out.Data != 0, instance,
           "GetEvents handed out no list");
    if (block.Out.Data == 0) return;
    const int64_t rows =
        CountEventRows(*reinterpret_cast<const TkivParamsList*>(block.Out.Data), instance);
    ExpectCode(exports_.GetEvents(&block), 0, instance, "GetEvents acknowledgement");
    if (!instance.Steady) return;
    instance.EventsCollected += rows;
    instance.EventsOutstanding -= static_cast<int>(rows);
  }

  void SetItems(HostInstance& instance, std::mt19937& random) {
    const std::string_view text = kItemTexts[random() % kItemTexts.size()];
    ExpectCode(Command(instance, "SET-ITEMS", {{"ITEMS", Variant(text)}}), 0, instance,
               "SET-ITEMS");
  }

  void ReadItems(HostInstance& instance) {
    std::string answer;
    ExpectCode(Command(instance, "ITEMS", {{"RESULT", Variant("?")}}, &answer), 0, instance,
               "ITEMS");
    const bool known = std::find(kItemAnswers.begin(), kItemAnswers.end(), answer) !=
                       kItemAnswers.end();
    Expect(known || !instance.Steady, instance, "ITEMS answered " + answer);
  }

  // Export data that is not there: the no-data message goes to the host window directly.
  void ProcessNoData(HostInstance& instance) {
    OwnedList list(plugin::NewParamsList());
    TPluginCallRec block = Block(instance, list.get());
    block.ModuleTypes = plugin::ModuleTypeBit(plugin::mttDataExport);
    block.In.DataKind = plugin::kDataKindInteger;
    ExpectCode(exports_.ProcessData(&block), 0, instance, "ProcessData");
  }

  void GetNoData(HostInstance& instance) {
    OwnedList list(plugin::NewParamsList());
    TPluginCallRec block = Block(instance, list.get());
    block.ModuleTypes = plugin::ModuleTypeBit(plugin::mttEventsHandling);
    ExpectCode(exports_.GetData(&block), 0, instance, "GetData");
  }

  void Release(HostInstance& instance) {
    auto owning = LockDispatching(instance.Owning);
    TPluginCallRec block = Block(instance, nullptr);
    block.Release = plugin::kReleaseInstance;
    Expect(exports_.GetAppMinVersion(&block) == -1.0f, instance, "a released instance answered");
  }

  // --- the threads

  void RunOneCall(HostInstance& instance, std::mt19937& random) {
    const unsigned pick = random() % 100;
    if (pick < 25) return RaiseEvent(instance);
    if (pick < 40) return CollectLog(instance);
    if (pick < 45) return ProbeLog(instance);
    if (pick < 55) return CollectEvents(instance);
    if (pick < 63) return SetItems(instance, random);
    if (pick < 71) return ReadItems(instance);
    if (pick < 75) {
      return ExpectCode(Command(instance, "NO-SUCH-COMMAND"), -2, instance, "unknown command");
    }
    if (pick < 78) return ExpectCode(Command(instance, "EVENT"), -1, instance, "EVENT untyped");
    if (pick < 88) return LoadUnloadPair(instance);
    if (instance.Steady) return GetNoData(instance);
    if (pick < 96) return ProcessNoData(instance);
    return Release(instance);
  }

  void HostThread(int index, std::chrono::steady_clock::time_point end) {
    std::mt19937 random(static_cast<uint32_t>(index + 1));
    while (std::chrono::steady_clock::now() < end) {
      const auto start = std::chrono::steady_clock::now();
      RunOneCall(instances_[random() % instances_.size()], random);
      if (std::chrono::steady_clock::now() - start >= kStuckCall) {
        failures_.Add("a host call was held up for seconds");
      }
      platform::ProcessMessages();
    }
    // A thread owns the timer windows of the instances it made: it keeps dispatching until
    // every other thread is done with them.
    ++finished_;
    while (finished_ < kThreads) {
      platform::ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  void RunHostThreads() {
    const auto end = std::chrono::steady_clock::now() + kRunTime;
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back([this, i, end] { HostThread(i, end); });
    // This thread owns the host window and the steady instances' windows: it dispatches until
    // the host threads are done.
    while (finished_ < kThreads) {
      platform::ProcessMessages();
      platform::WaitForMessages(10);
    }
    for (std::thread& thread : threads) thread.join();
  }

  std::unique_ptr<platform::DynamicLibrary> library_;
  PluginExports exports_;
  std::filesystem::path iniFile_;
  platform::WindowHandle window_ = 0;
  std::array<HostInstance, 4> instances_;
  std::atomic<int> finished_{0};
  Failures failures_;
};

TEST_F(HostThreadsStress, EveryLineAndEventOfALoadedInstanceArrivesOnce) {
  for (HostInstance& instance : instances_) {
    if (!instance.Steady) continue;
    ASSERT_EQ(Load(instance), 0) << "instance " << instance.Id;
  }
  RunHostThreads();

  for (HostInstance& instance : instances_) {
    if (!instance.Steady) continue;
    CollectLog(instance);
    CollectEvents(instance);
    EXPECT_GT(instance.LinesWritten, 0) << "instance " << instance.Id << " was never driven";
    EXPECT_EQ(instance.LinesCollected, instance.LinesWritten) << "instance " << instance.Id;
    EXPECT_EQ(instance.EventsCollected, instance.EventsRaised) << "instance " << instance.Id;
  }
  for (const std::string& failure : failures_.List()) ADD_FAILURE() << failure;
}

}  // namespace
}  // namespace chronel
