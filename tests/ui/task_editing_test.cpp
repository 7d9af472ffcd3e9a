// Adding, modifying, selecting, deleting, clearing and moving tasks in the task editor.
#include <gtest/gtest.h>

#include <regex>

#include "editor_fixture.h"
#include "ui/edit.h"
#include "ui/hot_key_field.h"
#include "ui/radio_button.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"

namespace chronel::test {
namespace {

// The line without its identifier, which is new on every Add.
std::string Body(const std::string& line) { return line.substr(line.find("||") + 2); }

TEST_F(EditorTest, AddComposesTheLineFromTheControlsOfEachMode) {
  struct Case {
    const char* name;
    std::function<void()> set;
    const char* body;
  };
  const Case cases[] = {
      {"daily, steps stored while unchecked",
       [&] {
         Choose("SEND", mpDaily);
         Get<TTimeField>("edtTime").SetTime(7, 30);
         Get<TSpinEdit>("spRepeatValueHour").SetValue(5);
         Get<TComboBox>("comboArgs").SetText("PING");
       },
       "SEND||DAILY||07:30;NN;5;1||PING"},
      {"hourly keeps hour step 1 and flag N",
       [&] {
         Choose("NEWLOG", mpHourly);
         Get<TSpinEdit>("spRepeatValueHour").SetValue(9);
         Get<TCheckBox>("chkRepeatMin").Click();
         Press("btnH_1");
         Press("btnH_13");
       },
       "NEWLOG||HOURLY||00:00;NY;1;1;0,12"},
      {"weekday with ordinals and weekdays",
       [&] {
         Choose("OPEN", mpWeekday);
         Get<TComboBox>("comboArgs").SetText("COM1");
         for (const char* b : {"btn_WD_2", "btn_WD_6", "btnWD_1", "btnWD_2", "btnWD_3", "btnWD_4",
                               "btnWD_5"}) {
           Press(b);
         }
       },
       "OPEN||WEEKDAY||00:00;NN;1;1;2,6;1-5||COM1"},
      {"weekday without an ordinal keeps its weekdays in parameter 6",
       [&] {
         Choose("CLOSE", mpWeekday);
         Press("btnWD_6");
         Press("btnWD_7");
       },
       "CLOSE||WEEKDAY||00:00;NN;1;1;;6,7"},
      {"monthly",
       [&] {
         Choose("EVENT", mpMonthly);
         Press("btnM_32");
       },
       "EVENT||MONTHLY||00:00;NN;1;1;32"},
      {"hotkey: its text and its code",
       [&] {
         Choose("SEND", mpHotkey);
         Get<THotKey>("edtHotkey").SetHotKey(0x4000 | 'K');
       },
       "SEND||HOTKEY||Ctrl+K;404B"},
      {"after, at once, no predecessor",
       [&] {
         Choose("SEND", mpAfter);
         Get<TRadioButton>("rbAfter1").Click();
       },
       "SEND||AFTER||N;1;0;0"},
      {"after an interval of 2 hours behind the first task",
       [&] {
         Choose("SEND", mpAfter);
         Get<TComboBox>("comboAfterAction").SetItemIndex(0);
         Get<TSpinEdit>("spAfterValue").SetValue(2);
         Get<TComboBox>("comboAfterUnits").SetItemIndex(2);
       },
       "SEND||AFTER||Y;2;2;0000000A"},
      {"event",
       [&] {
         Choose("SEND", mpEvent);
         Get<TEdit>("edtEventName").SetText("DOOR");
       },
       "SEND||EVENT||DOOR"},
  };
  for (const Case& c : cases) {
    Open({"0000000A||SEND||EVENT||X"});
    c.set();
    const int before = Rows().Count();
    ASSERT_TRUE(Execute("actAdd")) << c.name;
    ASSERT_TRUE(Execute("actAdd")) << c.name;  // a second one gets an identifier of its own
    EXPECT_NE(Fields(before)[0], Fields(before + 1)[0]) << c.name;
    EXPECT_EQ(Lines()[before].substr(8), Lines()[before + 1].substr(8)) << c.name;
    ASSERT_EQ(Rows().Count(), before + 2) << c.name;
    EXPECT_EQ(Body(Lines()[before]), c.body) << c.name;
    EXPECT_TRUE(std::regex_match(Fields(before)[0], std::regex("[0-9A-F]{8}"))) << c.name;
    EXPECT_EQ(Rows().ItemIndex(), before + 1) << c.name;
    EXPECT_EQ(Rows().Row(before).SubItems[1], Fields(before)[3]) << c.name;
  }
}

TEST_F(EditorTest, AddAndModifyNeedAModeAndAnAction) {
  Open({});
  Get<TComboBox>("comboMode").Choose(mpDaily);
  EXPECT_FALSE(Execute("actAdd"));
  Get<TComboBox>("comboAction").Choose(0);
  EXPECT_FALSE(Execute("actModify"));
  EXPECT_TRUE(Execute("actAdd"));
  EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(EditorTest, SelectingATaskLoadsItAndModifyKeepsItsIdentifier) {
  Open({"0000000A||SEND||HOURLY||00:15;NN;1;1;0-5,8||PING",
        "0000000B||OPEN||AFTER||Y;7;1;0000000A||COM1", "0000000C||SEND||HOTKEY||Ctrl+K;404B"});
  // Opening shows the first task selected, with its own values in the controls.
  EXPECT_EQ(form_->GetPressedList(kHourGrid), "0-5,8");
  EXPECT_EQ(Get<TTimeField>("edtTime").Minute(), 15);

  Get<TListView>("lvTasks").Select(1);
  EXPECT_EQ(Get<TComboBox>("comboMode").ItemIndex(), mpAfter);
  EXPECT_EQ(Get<TComboBox>("comboArgs").Text(), "COM1");
  EXPECT_TRUE(Get<TRadioButton>("rbAfter2").Checked());
  EXPECT_EQ(Get<TSpinEdit>("spAfterValue").Value(), 7);
  EXPECT_EQ(Get<TComboBox>("comboAfterUnits").ItemIndex(), 1);
  EXPECT_EQ(Get<TComboBox>("comboAfterAction").ItemIndex(), 0);
  Get<TSpinEdit>("spAfterValue").SetValue(99);  // clamped
  ASSERT_TRUE(Execute("actModify"));
  EXPECT_EQ(Lines()[1], "0000000B||OPEN||AFTER||Y;60;1;0000000A||COM1");
  EXPECT_EQ(Rows().Row(1), (TListRow{"Open data source", {"After another task", "Y;60;1;0000000A"}}));

  Get<TListView>("lvTasks").Select(2);
  EXPECT_EQ(Get<THotKey>("edtHotkey").HotKey(), 0x404B);
  Get<TListView>("lvTasks").Select(0);
  EXPECT_EQ(Get<TTimeField>("edtTime").Minute(), 15);
  EXPECT_EQ(form_->GetPressedList(kHourGrid), "0-5,8");
}

// A Modify right after opening changes only what was changed, whatever kind the first task is.
TEST_F(EditorTest, ModifyingTheTaskShownSelectedAtOpeningKeepsWhatWasNotChanged) {
  const std::string lines[] = {"0000000A||SEND||DAILY||08:30;YN;2;1||PING",
                               "0000000B||OPEN||AFTER||Y;5;1;0000000C||COM1"};
  for (const std::string& line : lines) {
    Open({line, "0000000C||SEND||EVENT||GO||x"});
    Get<TComboBox>("comboArgs").SetText("changed");
    ASSERT_TRUE(Execute("actModify")) << line;
    EXPECT_EQ(Lines()[0], line.substr(0, line.rfind("||") + 2) + "changed");
  }
}

// Identifiers are whatever the file holds, as the tasks find each other by them exactly.
TEST_F(EditorTest, AModifiedSuccessorKeepsItsPredecessorsIdentifierAsStored) {
  Open({"task-one||SEND||EVENT||GO||x", "0000000b||OPEN||AFTER||N;1;0;task-one||COM1",
        "0000000C||OPEN||AFTER||N;1;0;0000000b||COM2"});
  for (const int row : {1, 2}) {
    Get<TListView>("lvTasks").Select(row);
    Get<TComboBox>("comboArgs").SetText("changed");
    ASSERT_TRUE(Execute("actModify")) << row;
  }
  EXPECT_EQ(Lines()[1], "0000000b||OPEN||AFTER||N;1;0;task-one||changed");
  EXPECT_EQ(Lines()[2], "0000000C||OPEN||AFTER||N;1;0;0000000b||changed");

  // Deleting a task moves the lines under the predecessor list; the task it shows is kept.
  Open({"0000000D||SEND||AFTER||N;1;0;0000000A||d", "0000000A||SEND||EVENT||GO||a",
        "0000000B||SEND||EVENT||GO2||b"});
  ASSERT_TRUE(Execute("actDel"));
  ASSERT_TRUE(Execute("actAdd"));
  EXPECT_EQ(Fields(2)[3], "N;1;0;0000000A");
}

TEST_F(EditorTest, RowsAndLinesStayInStepThroughDeleteMoveAndClear) {
  Open({"00000001||SEND||DAILY||08:00;NN;1;1||A", "00000002||REBOOT||DAILY||09:00;NN;1;1",
        "00000003||SEND||DAILY||10:00;NN;1;1||C"});
  auto& rows = Get<TListView>("lvTasks");
  EXPECT_FALSE(Execute("actUp"));
  rows.Select(2);
  EXPECT_FALSE(Execute("actDown"));
  // A line with an unknown action has its own row, so the row after it reaches its own line.
  ASSERT_TRUE(Execute("actUp"));
  EXPECT_EQ(rows.ItemIndex(), 1);
  EXPECT_EQ(Fields(1)[0], "00000003");
  EXPECT_EQ(rows.Row(1).SubItems[1], "10:00;NN;1;1");
  EXPECT_EQ(rows.Row(2).Caption, "REBOOT");

  // Down takes the selected task one place down, and back again.
  rows.Select(0);
  ASSERT_TRUE(Execute("actDown"));
  EXPECT_EQ(rows.ItemIndex(), 1);
  EXPECT_EQ(Fields(0)[0], "00000003");
  EXPECT_EQ(Fields(1)[0], "00000001");
  EXPECT_EQ(rows.Row(1).SubItems[1], "08:00;NN;1;1");
  ASSERT_TRUE(Execute("actUp"));
  EXPECT_EQ(rows.ItemIndex(), 0);
  EXPECT_EQ(Fields(0)[0], "00000001");

  rows.Select(1);
  ASSERT_TRUE(Execute("actDel"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"00000001||SEND||DAILY||08:00;NN;1;1||A",
                                               "00000002||REBOOT||DAILY||09:00;NN;1;1"}));
  EXPECT_EQ(rows.Count(), 2);
  EXPECT_FALSE(Execute("actDel"));

  rows.Select(1);
  ASSERT_TRUE(Execute("actDel"));
  rows.Select(0);
  ASSERT_TRUE(Execute("actDel"));
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(Execute("actModify"));

  Choose("SEND", mpDaily);
  ASSERT_TRUE(Execute("actAdd"));
  ASSERT_TRUE(Execute("actClear"));
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(rows.Count(), 0);
}

}  // namespace
}  // namespace chronel::test
