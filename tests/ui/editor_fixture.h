// A task editor over a data module that was never loaded: its settings file and section are set
// by hand, as a program that edits settings sets them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/a_plugin.h"
#include "plugin/instance_registry.h"
#include "tasks/task_line.h"
#include "tasks/temp_folder.h"
#include "tasks/value_encoding.h"
#include "ui/action_list.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/frm_option.h"
#include "ui/list_view.h"
#include "ui/speed_button.h"

namespace chronel::test {

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    Plugin().SetCurrentIniFile(ini_);
    Plugin().SetINISectionPrefix("Test");
  }

  TaPlugin& Plugin() { return static_cast<TaPlugin&>(*instance_); }

  // Stores the lines and opens the editor over them.
  TfrmOption& Open(const std::vector<std::string>& lines, const std::string& extra = {}) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    testing::WriteBytes(ini_, "[Test.Common]\r\nTasks=" + EncodeValue(text) + "\r\n" + extra);
    delete form_;                       // a dialog is shown, then freed
    form_ = new TfrmOption(Plugin());  // owned by the data module
    return *form_;
  }

  template <typename T>
  T& Get(std::string_view name) const {
    return form_->Get<T>(name);
  }
  const std::vector<std::string>& Lines() const { return form_->TaskLines().Lines(); }
  const TListView& Rows() const { return Get<TListView>("lvTasks"); }

  // The user chooses an action and a mode by their keywords.
  void Choose(const std::string& action, int mode) {
    Get<TComboBox>("comboAction").Choose(Plugin().ActionCaption(action).first);
    Get<TComboBox>("comboMode").Choose(mode);
  }
  void Press(std::string_view button) { Get<TSpeedButton>(button).Click(); }
  // Idle-time enabling, then the action as its button would execute it.
  bool Execute(std::string_view action) {
    Get<TActionList>("actList").UpdateActions();
    return Get<TAction>(action).Execute();
  }
  std::vector<std::string> Fields(int line) const { return SplitTaskLine(Lines()[line]); }

  testing::TempFolder folder_;
  const std::string ini_ = folder_.File("tasks.ini");
  std::unique_ptr<plugin::TkivPlugin> instance_ = plugin::CreatePlugin<TaPlugin>(nullptr);
  TfrmOption* form_ = nullptr;
};

}  // namespace chronel::test
