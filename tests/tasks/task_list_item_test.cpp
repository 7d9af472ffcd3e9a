#include "tasks/task_list_item.h"

#include <gtest/gtest.h>

#include <limits>

#include "tasks/task_line.h"

namespace chronel {
namespace {

// As the loader makes a record: fields 1-4 and the rest as arguments.
TTaskListItem MakeTask(std::string_view line, platform::TkivGlobalHotKey::TKeyEvent on_key = {}) {
  std::vector<std::string> fields = SplitTaskLine(line);
  EXPECT_GE(fields.size(), kMinTaskFields) << line;
  fields.resize(std::max(fields.size(), kMinTaskFields));
  std::vector<std::string> args(fields.begin() + 4, fields.end());
  return TTaskListItem(nullptr, fields[0], fields[1], fields[2], fields[3], std::move(args),
                       std::move(on_key));
}

TEST(TTaskListItem, DecodesTheFieldsOfALine) {
  const TTaskListItem task = MakeTask("1a2b3c4d||open||dAily||08:30;NN;1;1; 5 ; 6 ;7||COM1");
  EXPECT_EQ(task.ID, "1a2b3c4d");
  EXPECT_EQ(task.Action, "OPEN");
  EXPECT_EQ(task.Mode, "DAILY");
  EXPECT_EQ(task.Params, "08:30;NN;1;1; 5 ; 6 ;7");
  EXPECT_EQ(task.Param5, "5");
  EXPECT_EQ(task.Param6, "6");
  EXPECT_EQ(task.Args, std::vector<std::string>{"COM1"});
  EXPECT_EQ(task.HotKey, nullptr);
  EXPECT_EQ(task.LastRun, 0);
  EXPECT_EQ(task.DueTime, 0);
  EXPECT_EQ(task.DelaySeconds, 0);
  EXPECT_EQ(task.AfterID, "");
  EXPECT_EQ(task.AddedDays, "");
}

TEST(TTaskListItem, UpperCasesOnlyAsciiLettersAndTrimsNothing) {
  const TTaskListItem task = MakeTask("id||s\xC3\xA4nd||daily ||p");
  EXPECT_EQ(task.Action, "S\xC3\xA4ND");
  EXPECT_EQ(task.Mode, "DAILY ");  // so the mode is not recognised
}

TEST(TTaskListItem, ArgumentWithSeparatorsBecomesSeveralArgs) {
  const TTaskListItem task = MakeTask("id||SEND||DAILY||p||first||second\r\nthird");
  EXPECT_EQ(task.Args, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_TRUE(MakeTask("id||SEND||DAILY||p||").Args.empty());
}

TEST(TTaskListItem, HotKeyTaskGetsAnInactiveHotKeyWithTheHexCode) {
  const struct {
    const char* params;
    platform::TShortCut code;
  } cases[] = {
      {"Ctrl+Alt+A;C041", 0xC041}, {"Ctrl+Alt+A; c041 ", 0xC041}, {"Ctrl+Alt+A", 0},
      {"Ctrl+Alt+A;xyz", 0},       {"Ctrl+;;40BA", 0},             {"A;1C041", 0},
  };
  for (const auto& c : cases) {
    bool pressed = false;
    const TTaskListItem task =
        MakeTask(std::string("id||OPEN||hotkey||") + c.params,
                 [&](platform::TkivGlobalHotKey*, uint16_t&, platform::TShiftState) {
                   pressed = true;
                 });
    ASSERT_NE(task.HotKey, nullptr) << c.params;
    EXPECT_FALSE(task.HotKey->Active()) << c.params;
    EXPECT_EQ(task.HotKey->HotKey(), c.code) << c.params;
    ASSERT_TRUE(task.HotKey->OnKeyDown) << c.params;
    uint16_t key = 0;
    task.HotKey->OnKeyDown(task.HotKey.get(), key, 0);
    EXPECT_TRUE(pressed);
  }
}

TEST(DecodeEventTask, TakesTheIdentifierFromParameterOne) {
  TTaskListItem task = MakeTask("id||EVENT||EVENT|| Door open ;x;y;z;five");
  EXPECT_EQ(task.Param5, "five");
  DecodeEventTask(task);
  EXPECT_EQ(task.Param5, "Door open");
}

TEST(DecodeAfterTask, ReadsPredecessorAndDelay) {
  const struct {
    const char* params;
    const char* after_id;
    int32_t delay;
  } cases[] = {
      {"Y;5;0;0000000A", "0000000A", 5},
      {"Y;5;1;0000000A", "0000000A", 300},
      {"Y;2;2;0000000A", "0000000A", 7200},
      {"Y;0;1;0000000A", "0000000A", 0},  // at once after the predecessor
      {"Y;x;1;0000000A", "0000000A", 60},  // one unit
      {"Y;3;x;0000000A", "0000000A", 3},   // unit not a number: seconds
      {"Y;3;7;0000000A", "0000000A", 3},
      {"N;5;1;0000000A", "0000000A", 0},
      {"y;5;1;0000000A", "0000000A", 0},
      {" Y ;5;1;0", "0", 300},
      {"Y;5;0;SELF", "", 5},               // never its own successor
      {"Y;2147483647;2;0", "0", std::numeric_limits<int32_t>::max()},
      {"Y;-2147483648;2;0", "0", std::numeric_limits<int32_t>::min()},
  };
  for (const auto& c : cases) {
    TTaskListItem task = MakeTask(std::string("SELF||OPEN||AFTER||") + c.params);
    DecodeAfterTask(task);
    EXPECT_EQ(task.AfterID, c.after_id) << c.params;
    EXPECT_EQ(task.DelaySeconds, c.delay) << c.params;
  }
}

}  // namespace
}  // namespace chronel
