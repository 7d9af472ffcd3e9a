#include "chronel/tasks_command.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sstream>

#include "engine/a_plugin.h"
#include "plugin/instance_registry.h"
#include "tasks/property_store.h"
#include "tasks/proxy_code_object.h"
#include "tasks/task_line.h"
#include "tasks/temp_folder.h"
#include "ui/action_list.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/hot_key_field.h"
#include "ui/frm_option.h"
#include "ui/radio_button.h"
#include "ui/spin_edit.h"
#include "ui/speed_button.h"
#include "ui/time_field.h"

namespace chronel {
namespace {

class TasksCommand : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--ini", ini_, "--section-prefix", "P"});
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunTasksCommand(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  std::vector<std::string> Stored() {
    TWreg store;
    store.SetINIFile(ini_);
    store.SetINIFileSectionPrefix("P");
    store.PropertyList().SetLines({"lstTasks.Strings,Tasks"});
    TProxyCodeObject stored(nullptr);
    store.ReadProperties(&stored);
    return stored.lstTasks_Strings().Lines();
  }

  // The line without its identifier, which is new on every Add.
  static std::string Body(const std::string& line) { return line.substr(line.find("||") + 2); }

  testing::TempFolder folder_;
  const std::string ini_ = folder_.File("tasks.ini");
  std::string out_;
  std::string err_;
};

// The same choices made in the dialog's model, control by control, as a user would.
// The dialog of a module whose settings are an empty INI file: it must not open on tasks some
// other program left in the registry (Windows keeps the registry between test programs).
std::string DialogLine(const std::function<void(TfrmOption&)>& choose) {
  testing::TempFolder folder;
  const std::string empty = folder.File("empty.ini");
  std::ofstream(empty, std::ios::binary) << "[Common]\r\n";
  auto module = plugin::CreatePlugin<TaPlugin>(nullptr);
  module->SetCurrentIniFile(empty);
  auto* form = new TfrmOption(static_cast<TaPlugin&>(*module));
  choose(*form);
  form->Get<TActionList>("actList").UpdateActions();
  EXPECT_TRUE(form->Get<TAction>("actAdd").Execute());
  return form->TaskLines().Lines().back();
}

TEST_F(TasksCommand, WritesTheLinesTheDialogWritesForTheSameChoices) {
  struct Case {
    std::vector<std::string> args;
    std::function<void(TfrmOption&)> choose;
  };
  const auto action = [](TfrmOption& form, int index) {
    form.Get<TComboBox>("comboAction").Choose(index);
  };
  const auto mode = [](TfrmOption& form, int index) {
    form.Get<TComboBox>("comboMode").Choose(index);
  };
  const Case cases[] = {
      {{"add", "--action", "SEND", "--mode", "DAILY", "--time", "07:30", "--repeat-hours", "5",
        "--argument", "PING"},
       [&](TfrmOption& f) {
         action(f, 2);
         mode(f, mpDaily);
         f.Get<TTimeField>("edtTime").SetTime(7, 30);
         f.Get<TSpinEdit>("spRepeatValueHour").SetValue(5);
         f.Get<TCheckBox>("chkRepeatHour").Click();
         f.Get<TComboBox>("comboArgs").SetText("PING");
       }},
      {{"add", "--action", "open", "--mode", "weekday", "--ordinals", "2,6", "--weekdays", "1-5",
        "--argument", "COM1", "--repeat-minutes", "10"},
       [&](TfrmOption& f) {
         action(f, 0);
         mode(f, mpWeekday);
         for (const char* b : {"btn_WD_2", "btn_WD_6", "btnWD_1", "btnWD_2", "btnWD_3",
                               "btnWD_4", "btnWD_5"}) {
           f.Get<TSpeedButton>(b).Click();
         }
         f.Get<TComboBox>("comboArgs").SetText("COM1");
         f.Get<TSpinEdit>("spRepeatValueMin").SetValue(10);
         f.Get<TCheckBox>("chkRepeatMin").Click();
       }},
      {{"add", "--action", "NEWLOG", "--mode", "MONTHLY", "--month-days", "1,15,32"},
       [&](TfrmOption& f) {
         action(f, 3);
         mode(f, mpMonthly);
         for (const char* b : {"btnM_1", "btnM_15", "btnM_32"}) f.Get<TSpeedButton>(b).Click();
       }},
      {{"add", "--action", "EVENT", "--mode", "HOTKEY", "--hotkey", "ctrl+alt+f5", "--argument",
        "E1"},
       [&](TfrmOption& f) {
         action(f, 4);
         mode(f, mpHotkey);
         f.Get<THotKey>("edtHotkey").SetHotKey(0xC074);
         f.Get<TComboBox>("comboArgs").SetText("E1");
       }},
      {{"add", "--action", "SEND", "--mode", "AFTER", "--delay", "3m"},
       [&](TfrmOption& f) {
         action(f, 2);
         mode(f, mpAfter);
         f.Get<TSpinEdit>("spAfterValue").SetValue(3);
         f.Get<TComboBox>("comboAfterUnits").SetItemIndex(1);
       }},
      {{"add", "--action", "SEND", "--mode", "EVENT", "--event-id", "DOOR"},
       [&](TfrmOption& f) {
         action(f, 2);
         mode(f, mpEvent);
         f.Get<TEdit>("edtEventName").SetText("DOOR");
       }},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Run(c.args), 0) << err_;
    EXPECT_EQ(Body(Stored().back()), Body(DialogLine(c.choose))) << c.args[4];
  }
  EXPECT_EQ(Stored().size(), std::size(cases));
}

TEST_F(TasksCommand, ModifyMoveDeleteAndClearWorkOnTheNamedLine) {
  ASSERT_EQ(Run({"add", "--action", "SEND", "--mode", "DAILY", "--time", "08:00"}), 0) << err_;
  ASSERT_EQ(Run({"add", "--action", "SEND", "--mode", "HOURLY", "--hours", "0-5,8"}), 0) << err_;
  const std::string first = Stored()[0].substr(0, 8);
  EXPECT_EQ(Run({"add", "--mode", "DAILY"}), 2) << "the first task's action is not taken over";
  ASSERT_EQ(Run({"modify", "--line", "1", "--argument", "PING"}), 0) << err_;
  EXPECT_EQ(Stored()[0], first + "||SEND||DAILY||08:00;NN;1;1||PING");
  ASSERT_EQ(Run({"add", "--action", "OPEN", "--mode", "AFTER", "--after", first}), 0) << err_;
  EXPECT_EQ(Body(Stored()[2]), "OPEN||AFTER||Y;1;0;" + first);

  ASSERT_EQ(Run({"move", "--line", "3", "--up"}), 0) << err_;
  EXPECT_EQ(Body(Stored()[1]), "OPEN||AFTER||Y;1;0;" + first);
  ASSERT_EQ(Run({"list"}), 0);
  EXPECT_NE(out_.find("2  "), std::string::npos);
  EXPECT_NE(out_.find("Open data source  After another task  Y;1;0;" + first), std::string::npos)
      << out_;
  EXPECT_EQ(Run({"move", "--line", "1", "--up"}), 2);
  ASSERT_EQ(Run({"delete", "--line", "1"}), 0);
  EXPECT_EQ(Stored().size(), 2u);
  ASSERT_EQ(Run({"clear"}), 0);
  EXPECT_TRUE(Stored().empty());
}

TEST_F(TasksCommand, RefusesWhatTheDialogWouldNotAccept) {
  const std::vector<std::string> refused[] = {
      {"add", "--mode", "DAILY"},
      {"add", "--action", "REBOOT", "--mode", "DAILY"},
      {"add", "--action", "SEND", "--mode", "SOMETIMES"},
      {"add", "--action", "SEND", "--mode", "HOTKEY", "--hotkey", "Ctrl+Nothing"},
      {"add", "--action", "SEND", "--mode", "HOURLY", "--repeat-hours", "2"},
      // Options of another kind of task, which the dialog would not even show.
      {"add", "--action", "SEND", "--mode", "DAILY", "--hotkey", "Ctrl+Q"},
      {"add", "--action", "SEND", "--mode", "WEEKLY", "--ordinals", "2"},
      {"add", "--action", "SEND", "--mode", "HOTKEY", "--time", "08:00"},
      {"add", "--action", "SEND", "--mode", "EVENT", "--after", "none"},
      {"modify", "--line", "4"},
      {"frobnicate"},
  };
  for (const auto& args : refused) {
    EXPECT_EQ(Run(args), 2) << args[0];
    EXPECT_FALSE(err_.empty());
  }
  EXPECT_TRUE(Stored().empty());

  // A modify names the option that its task's kind has no place for, and changes nothing.
  ASSERT_EQ(Run({"add", "--action", "SEND", "--mode", "DAILY", "--time", "08:30"}), 0);
  const std::vector<std::string> before = Stored();
  EXPECT_EQ(Run({"modify", "--line", "1", "--hotkey", "Ctrl+Q"}), 2);
  EXPECT_EQ(err_.substr(0, err_.find('\n')), "chronel tasks: --hotkey does not apply to DAILY tasks");
  EXPECT_EQ(Stored(), before);
}

}  // namespace
}  // namespace chronel
