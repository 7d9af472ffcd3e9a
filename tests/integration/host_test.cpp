// The built plug-in library driven through the reference host, as a host application drives
// it: call blocks and parameter lists from the host's own module, the host window receiving
// the plug-in's notifications, the services found in this program's module.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <span>
#include <sstream>

#include "captured_timeline.h"
#include "host/config_table.h"
#include "host/host.h"
#include "info_command.h"

namespace chronel::host {
namespace {

class PluginHost : public ::testing::Test {
 protected:
  CapturedTimeline captured_;
  THost host_{CHRONEL_PLUGIN_PATH, captured_.Timeline()};
};

TEST_F(PluginHost, IdentityCallsAnswerThePluginsValues) {
  EXPECT_EQ(host_.InterfaceVersion(), 4);
  EXPECT_EQ(host_.ModuleType(1), 8);  // mttEventsHandling, no options
  EXPECT_FLOAT_EQ(host_.AppMinVersion(1), 4.0f);
  EXPECT_EQ(host_.ModuleDescription(1), "Chronel");
  EXPECT_TRUE(host_.MultiThreadSupport(1));
  EXPECT_EQ(host_.CustomCommands(1), "");  // no mttMenuExt: no custom commands
}

TEST_F(PluginHost, InstanceZeroNamesNoInstance) {
  EXPECT_FLOAT_EQ(host_.AppMinVersion(0), -1.0f);
  EXPECT_EQ(host_.ModuleDescription(0), std::nullopt);
  EXPECT_EQ(host_.ModuleType(0), 0);
  EXPECT_FALSE(host_.MultiThreadSupport(0));
}

TEST_F(PluginHost, CommandsAnswerTheirResultCodes) {
  const struct {
    std::string command;
    std::vector<THostParam> params;
    int32_t result;
  } steps[] = {
      {"LOAD", {{"RegistryPath", platform::Variant("Software\\Chronel tests\\COM1")}}, 0},
      {"load", {}, -2},  // commands are case-sensitive; no custom handler
      {"NO-SUCH-COMMAND", {}, -2},
      {"ITEMS", {}, -1},  // the host must put a RESULT item into the list
      {"ITEMS", {{"RESULT", platform::Variant("")}}, 0},
      {"UNLOAD", {}, 0},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(host_.Command(1, step.command, step.params), step.result) << step.command;
  }
  EXPECT_TRUE(captured_.Has(1, "command LOAD answered 0")) << captured_.Text();
}

// The plug-in delivers log lines straight to the host window by WM_COPYDATA, wParam its
// NotifyID; here the test plays that part.
TEST_F(PluginHost, HostWindowShowsCopiedLogLinesUnderTheirInstance) {
  const uint32_t notify_id = host_.NotifyIdOf(2);
  ASSERT_NE(notify_id, 2u) << "NotifyID and InstanceID differ, so a mix-up shows";
  const auto send = [&](uintptr_t tag, std::string_view bytes) {
    return platform::SendCopyData(host_.Window(), notify_id, tag,
                                  std::as_bytes(std::span(bytes.data(), bytes.size())), 1000);
  };
  EXPECT_TRUE(send(kCopyDataQueuedLines, "\x03one\r\n\x02two\r\n").Delivered);
  EXPECT_TRUE(send(kCopyDataOneLine, "\x01three").Delivered);
  EXPECT_TRUE(captured_.Has(2, "log (information): one")) << captured_.Text();
  EXPECT_TRUE(captured_.Has(2, "log (warning): two"));
  EXPECT_TRUE(captured_.Has(2, "log (error): three"));
}

// An INI file with three tasks that run when the host reports the event GO.
class PluginHostWithTasks : public PluginHost {
 protected:
  void SetUp() override {
    // One file per test: ctest runs the tests of this fixture side by side.
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ini_ = (std::filesystem::temp_directory_path() / ("chronel_host_test_" + test + ".ini")).string();
    std::ofstream(ini_, std::ios::binary)
        << "[HostTest.Common]\r\n"
           "Tasks=00000001||SEND||EVENT||GO||hello%0d%0a"
           "00000002||OPEN||EVENT||GO||COM1%0d%0a"
           "00000003||EVENT||EVENT||GO||task1%0d%0a\r\n";
    HostConfigurations().Replace({"COM1", "COM2"});
  }
  void TearDown() override { std::filesystem::remove(ini_); }

  int32_t Load(std::vector<THostParam> extra = {}) {
    extra.push_back({"INI-FILE", platform::Variant(ini_)});
    extra.push_back({"INISectionPrefix", platform::Variant("HostTest")});
    return host_.Command(1, "LOAD", extra);
  }

  std::string ini_;
};

TEST_F(PluginHostWithTasks, HostEventRunsTasksThatReachTheHost) {
  ASSERT_EQ(Load(), 0);
  ASSERT_EQ(host_.Command(1, "EVENT", {{"EVENT-TYPE", platform::Variant("GO")}}), 0);
  // SEND and OPEN call the services at once; the log lines and the event are announced to
  // the host window and collected through GetLogEx and GetEvents while the host pumps.
  EXPECT_TRUE(captured_.Has(1, "fSendString \"hello\""));
  EXPECT_TRUE(captured_.Has(1, "Vantrel_StartPause config 1 (COM1) open"));
  const bool arrived = host_.PumpUntil(
      [&] {
        return captured_.Has(1, "event TASK1") &&
               captured_.Has(1, "log (information): Chronel. Executing task: Generate event");
      },
      5000);
  EXPECT_TRUE(arrived) << captured_.Text();
  EXPECT_TRUE(captured_.Has(1, "log (information): Chronel. Executing task: Send data"));
  // The events were acknowledged: nothing is left to collect.
  EXPECT_TRUE(host_.CollectEvents(1).empty());
  EXPECT_EQ(host_.Command(1, "UNLOAD"), 0);
}

// The library reads the language file the build places beside it; the host's LANGUAGE, given
// on every command as a host gives it, switches what the tasks write to the log.
TEST_F(PluginHostWithTasks, TheHostsLanguageSwitchesTheLogLines) {
  const THostParam german{"LANGUAGE", platform::Variant("DE")};
  ASSERT_EQ(Load({german}), 0);
  ASSERT_EQ(host_.Command(1, "EVENT", {{"EVENT-TYPE", platform::Variant("GO")}, german}), 0);
  const std::string executing = "log (information): Chronel. Aufgabe wird ausgef\xC3\xBChrt: ";
  const bool arrived = host_.PumpUntil(
      [&] { return captured_.Has(1, executing + "Ereignis ausl\xC3\xB6sen"); }, 5000);
  EXPECT_TRUE(arrived) << captured_.Text();
  EXPECT_TRUE(captured_.Has(1, executing + "Daten senden"));
  EXPECT_TRUE(captured_.Has(1, executing + "Datenquelle \xC3\xB6" "ffnen"));
  EXPECT_EQ(host_.Command(1, "UNLOAD", {german}), 0);
}

TEST(ChronelInfo, ShowsWhatAHostSeesOfThePlugin) {
  std::ostringstream out, err;
  ASSERT_EQ(RunInfoCommand({CHRONEL_PLUGIN_PATH}, out, err), 0) << err.str();
  const std::string text = out.str();
  for (const char* expected :
       {"  GetPluginIntfVersion   found\n", "  ProcessData            found\n",
        "interface version: 4\n", "module type: 8 (mttEventsHandling)\n",
        "minimum host version: 4.0\n", "description: Chronel\n", "custom commands: none\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin:\n" << text;
  }
}

TEST(ChronelInfo, RefusesALibraryWithoutTheInterfaceExport) {
  std::ostringstream out, err;
  EXPECT_EQ(RunInfoCommand({CHRONEL_NOT_A_PLUGIN_PATH}, out, err), 2);
  EXPECT_EQ(err.str(), std::string("chronel: ") + CHRONEL_NOT_A_PLUGIN_PATH +
                           " is not a Chronel plug-in: it does not export GetPluginIntfVersion\n");
}

}  // namespace
}  // namespace chronel::host
