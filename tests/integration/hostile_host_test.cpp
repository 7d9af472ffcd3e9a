// A host that gets the contract wrong: every export answers with its documented code, writes
// nothing beyond the buffers it was given, and never crashes.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <type_traits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/dynamic_library.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "plugin/call_block.h"
#include "plugin/params_list.h"

namespace chronel::host {
namespace {

using platform::Variant;
using plugin::TkivParamsList;
using plugin::TPluginCallRec;

#if defined(_WIN32)
#define STDCALL __stdcall
#else
#define STDCALL
#endif
using Int32Call = int32_t(STDCALL*)(TPluginCallRec*);
using FloatCall = float(STDCALL*)(TPluginCallRec*);
using TextCall = const char*(STDCALL*)(TPluginCallRec*);
using VoidCall = void(STDCALL*)(TPluginCallRec*);

class HostileHost : public ::testing::Test {
 protected:
  HostileHost() {
    std::string error;
    library_ = platform::DynamicLibrary::Open(CHRONEL_PLUGIN_PATH, error);
    if (!library_) throw std::runtime_error(error);
  }
  ~HostileHost() override {
    for (int32_t id : {7, 8}) {
      TPluginCallRec release = Block(id, nullptr);
      release.Release = plugin::kReleaseInstance;
      Call<Int32Call>("ExecutePluginCommand", &release);
    }
  }

  template <typename F>
  std::invoke_result_t<F, TPluginCallRec*> Call(const char* name, TPluginCallRec* block) {
    auto function = library_->As<F>(name);
    if (!function) throw std::runtime_error(std::string("missing export ") + name);
    return function(block);
  }

  static TPluginCallRec Block(int32_t instance, TkivParamsList* list) {
    TPluginCallRec block{};
    block.Version = plugin::kCallBlockVersion;
    block.InstanceID = instance;
    block.ParamList = list;
    return block;
  }

  // A list of the host's own, freed at the end of the test.
  TkivParamsList& List(std::initializer_list<std::pair<const char*, Variant>> values) {
    lists_.emplace_back(plugin::NewParamsList(), plugin::FreeParamsList);
    for (const auto& [name, value] : values) plugin::AddValue(*lists_.back(), name, value);
    return *lists_.back();
  }

  int32_t Command(int32_t instance, TkivParamsList& list) {
    TPluginCallRec block = Block(instance, &list);
    return Call<Int32Call>("ExecutePluginCommand", &block);
  }

  std::unique_ptr<platform::DynamicLibrary> library_;
  std::vector<std::unique_ptr<TkivParamsList, void (*)(TkivParamsList*)>> lists_;
};

TEST_F(HostileHost, BrokenCallBlocksGetMinusOne) {
  TkivParamsList& load = List({{"COMMAND", Variant("LOAD")}});
  TPluginCallRec wrongVersion = Block(7, &load);
  wrongVersion.Version = 101;
  TPluginCallRec noList = Block(7, nullptr);
  for (const char* name : {"ExecutePluginCommand", "GetData", "GetEvents", "ProcessData"}) {
    EXPECT_EQ(Call<Int32Call>(name, nullptr), -1) << name;
    EXPECT_EQ(Call<Int32Call>(name, &wrongVersion), -1) << name;
    EXPECT_EQ(Call<Int32Call>(name, &noList), -1) << name;
  }
  // The exports that do not validate still refuse a null block instead of crashing.
  EXPECT_EQ(Call<FloatCall>("GetAppMinVersion", nullptr), -1.0f);
  EXPECT_EQ(Call<TextCall>("GetModuleDescription", nullptr), nullptr);
  EXPECT_EQ(Call<Int32Call>("GetModuleType", nullptr), 0);
  EXPECT_EQ(Call<Int32Call>("GetLogEx", nullptr), 0);
  EXPECT_EQ(Call<Int32Call>("GetCustomCommands", nullptr), 0);
  Call<VoidCall>("ShowOptionsDialog", nullptr);
}

TEST_F(HostileHost, CommandsAnswerTheirCodes) {
  TkivParamsList& noCommand = List({{"LANGUAGE", Variant("EN")}});
  EXPECT_EQ(Command(7, noCommand), -1);
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant("NO-SUCH-COMMAND")}})), -2);
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant("load")}})), -2);
  // A parameter of the wrong type fails the command, not the host.
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant("SET-STATE")}, {"RESULT", Variant("abc")}})),
            -3);
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant(int32_t{42})}})), -2);

  TkivParamsList& dead = List({{"COMMAND", Variant("LOAD")}});
  dead.Magic = 0;
  EXPECT_EQ(Command(7, dead), -3);
  dead.Magic = plugin::kParamsListMagic;
}

TEST_F(HostileHost, CallsAfterUnloadOrReleaseFindNothingToDo) {
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant("LOAD")}})), 0);
  EXPECT_EQ(Command(7, List({{"COMMAND", Variant("UNLOAD")}})), 0);
  TkivParamsList& any = List({{"X", Variant(1)}});
  TPluginCallRec data = Block(7, &any);
  data.ModuleTypes = plugin::ModuleTypeBit(plugin::mttDataExport);
  EXPECT_EQ(Call<Int32Call>("ProcessData", &data), -1);  // unloaded: at once, no 30 s wait
  EXPECT_EQ(Call<Int32Call>("GetEvents", &data), -1);

  TPluginCallRec release = Block(7, nullptr);
  release.Release = plugin::kReleaseInstance;
  EXPECT_EQ(Call<Int32Call>("ExecutePluginCommand", &release), -1);
  EXPECT_EQ(Call<Int32Call>("ExecutePluginCommand", &release), -1);  // nothing left to free
  EXPECT_FLOAT_EQ(Call<FloatCall>("GetAppMinVersion", &release), -1.0f);
}

TEST_F(HostileHost, AForeignListWithAGarbageClassTableIsRefused) {
  // A readable table that is no class table of either layout.
  std::array<uintptr_t, 64> garbage;
  garbage.fill(0x5A5A5A5A);
  TkivParamsList& list = List({{"COMMAND", Variant("ITEMS")}, {"RESULT", Variant("")}});
  const void* ownTable = list.ClassTable;
  list.ClassTable = &garbage[32];
  // Reading values needs no class table; growing the list would, and is refused.
  EXPECT_EQ(Command(7, list), 0);
  TkivParamsList& grow = List({{"COMMAND", Variant("LOAD")}});
  for (int i = 0; i < 8; ++i) plugin::AddValue(grow, "PAD" + std::to_string(i), Variant(i));
  const void* growTable = grow.ClassTable;
  grow.ClassTable = &garbage[32];
  TkivParamsList& processed = List({{"COMMAND", Variant("LOAD")}});
  EXPECT_EQ(Command(8, processed), 0);
  TPluginCallRec data = Block(8, &processed);
  data.ModuleTypes = plugin::ModuleTypeBit(plugin::mttDataExport);
  data.In.DataKind = plugin::kDataKindParamsList;
  data.In.Data = reinterpret_cast<uintptr_t>(&grow);  // a host row left open, unknown class
  EXPECT_EQ(Call<Int32Call>("ProcessData", &data), 0);
  EXPECT_EQ(int32_t{grow.Count}, 9);  // nothing appended to a list whose class it cannot tell
  list.ClassTable = ownTable;
  grow.ClassTable = growTable;
}

// GetLogEx and GetCustomCommands copy only what fits the buffer the host declared.
TEST_F(HostileHost, LogBuffersAreNeverOverrun) {
  TkivParamsList& load = List({{"COMMAND", Variant("LOAD")}});
  ASSERT_EQ(Command(7, load), 0);
  auto makeLine = [&] {
    // A host window is needed for lines to queue: a command that raises leaves one.
    ASSERT_EQ(Command(7, List({{"COMMAND", Variant("SET-STATE")},
                               {"RESULT", Variant("abc")},
                               {"MessagesProcessorHandle", Variant(int64_t{1})}})),
              -3);
  };
  makeLine();
  std::array<char, 512> buffer;
  buffer.fill('#');
  TPluginCallRec log = Block(7, nullptr);
  log.In.Data = reinterpret_cast<uintptr_t>(buffer.data());
  log.In.DataSize = 1;
  EXPECT_EQ(Call<Int32Call>("GetLogEx", &log), 0);
  const uint32_t length = static_cast<uint32_t>(log.Out.Data);
  ASSERT_GT(length, 1u);
  EXPECT_EQ(buffer[0], '#');  // too small: nothing copied, the lines kept

  log.In.DataSize = static_cast<int32_t>(length);
  EXPECT_EQ(Call<Int32Call>("GetLogEx", &log), static_cast<int32_t>(length));
  EXPECT_EQ(buffer[length], '#');  // exactly the length, no terminating NUL
  EXPECT_EQ(std::string(buffer.data() + length - 2, 2), "\r\n");

  makeLine();
  log.In.DataSize = 0;
  EXPECT_EQ(Call<Int32Call>("GetLogEx", &log), 0);  // size 0: the lines are given up
  EXPECT_GT(static_cast<uint32_t>(log.Out.Data), 0u);
  log.In.DataSize = static_cast<int32_t>(buffer.size());
  EXPECT_EQ(Call<Int32Call>("GetLogEx", &log), 0);
  EXPECT_EQ(static_cast<uint32_t>(log.Out.Data), 0u);
}

TEST_F(HostileHost, ShowOptionsDialogReportsItsOutcomeInOutData) {
  TPluginCallRec none = Block(0, nullptr);
  Call<VoidCall>("ShowOptionsDialog", &none);
  EXPECT_EQ(static_cast<uint32_t>(none.Out.Data), 2u);
#ifndef _WIN32
  // Only Windows has a dialog (its outcomes are the options dialog tests').
  TPluginCallRec block = Block(7, nullptr);
  Call<VoidCall>("ShowOptionsDialog", &block);
  EXPECT_EQ(static_cast<uint32_t>(block.Out.Data), 3u);
  EXPECT_EQ(block.Out.DataKind, plugin::kDataKindInteger);
  EXPECT_EQ(int32_t{block.Out.DataSize}, 4);
#endif
}

// A host thread releases an instance while another is inside ProcessData on it. The call is
// held in the plug-in deterministically: with nothing to export it sends its "no data" line to
// the host window and waits for the window's thread to take it, and that thread releases the
// instance from its window procedure. The call must finish on an instance that still exists
// (ASan reports any use of a freed one); the instance is gone from the registry all the same.
TEST_F(HostileHost, AnInstanceReleasedDuringACallLivesUntilTheCallReturns) {
  std::atomic<bool> callReturned{false};
  int copies = 0;
  bool releasedInsideTheCall = false;
  const platform::WindowHandle window = platform::CreateMessageWindow(
      [&](platform::WindowHandle, uint32_t message, platform::WParam,
          platform::LParam) -> platform::LResult {
        if (message != platform::kWmCopyData || copies++ > 0) return 0;
        TPluginCallRec release = Block(7, nullptr);
        release.Release = plugin::kReleaseInstance;
        Call<Int32Call>("ExecutePluginCommand", &release);
        releasedInsideTheCall = !callReturned;
        return 1;
      });
  ASSERT_EQ(Command(7, List({{"COMMAND", Variant("LOAD")},
                             {"MessagesProcessorHandle", Variant(static_cast<int64_t>(window))}})),
            0);
  TkivParamsList& noRows = List({{"X", Variant(1)}});
  auto exportNothing = [&] {
    TPluginCallRec data = Block(7, &noRows);
    data.ModuleTypes = plugin::ModuleTypeBit(plugin::mttDataExport);
    return Call<Int32Call>("ProcessData", &data);
  };
  int32_t result = -99;
  std::thread caller([&] {
    result = exportNothing();
    callReturned = true;
  });
  // Pump until the call is back: the instance is freed on the caller's thread as its call
  // returns, and the windows it made on this thread are taken down through this pump.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!callReturned && std::chrono::steady_clock::now() < giveUp) {
    platform::WaitForMessages(50);
    platform::ProcessMessages();
  }
  caller.join();
  EXPECT_TRUE(releasedInsideTheCall);
  EXPECT_EQ(result, 0);
  // A new instance for the ID knows no host window: nothing more reaches this one.
  EXPECT_EQ(exportNothing(), 0);
  platform::ProcessMessages();
  EXPECT_EQ(copies, 1);
  platform::DestroyMessageWindow(window);
}

// The plug-in's notifications reach the host window, and the host collects the line.
TEST(PluginLog, AnErrorLineReachesTheHostWindow) {
  std::vector<std::string> lines;
  std::mutex mutex;
  TTimeline timeline([&](const std::string& line) {
    std::lock_guard lock(mutex);
    lines.push_back(line);
  });
  THost host(CHRONEL_PLUGIN_PATH, timeline);
  ASSERT_EQ(host.Command(3, "LOAD"), 0);
  EXPECT_EQ(host.Command(3, "SET-STATE", {{"RESULT", Variant("abc")}}), -3);
  const bool arrived = host.PumpUntil(
      [&] {
        std::lock_guard lock(mutex);
        for (const std::string& line : lines) {
          if (line.find("[3] log (error): Chronel. Exception in command SET-STATE") !=
              std::string::npos) {
            return true;
          }
        }
        return false;
      },
      5000);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  EXPECT_TRUE(arrived) << text;
  EXPECT_EQ(host.Command(3, "UNLOAD"), 0);
}

}  // namespace
}  // namespace chronel::host
