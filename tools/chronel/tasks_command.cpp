#include "tasks_command.h"

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "core/numbers.h"
#include "core/text.h"
#include "engine/a_plugin.h"
#include "plugin/instance_registry.h"
#include "tasks/file_reader.h"
#include "tasks/task_line.h"
#include "ui/action_list.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/frm_option.h"
#include "ui/hot_key_field.h"
#include "ui/list_view.h"
#include "ui/radio_button.h"
#include "ui/shortcut_text.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"

namespace chronel {
namespace {

constexpr int kErrorStatus = 2;
constexpr const char* kUsage =
    "Usage: chronel tasks list|add|modify|delete|move|clear --ini FILE [--section-prefix P] ...\n"
    "       (see chronel help)\n";

const std::set<std::string> kOperations = {"list", "add", "modify", "delete", "move", "clear"};
const std::set<std::string> kValueOptions = {
    "--ini",     "--section-prefix", "--line",     "--action",   "--argument", "--mode",
    "--time",    "--repeat-hours",   "--repeat-minutes", "--hours", "--weekdays", "--ordinals",
    "--month-days", "--hotkey",      "--after",    "--delay",    "--event-id"};

// A refused choice; its message goes to the error stream.
struct TUsageError {
  std::string Message;
};

using TOptions = std::map<std::string, std::string>;

TOptions ReadOptions(const std::vector<std::string>& args) {
  TOptions options;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--up" || option == "--down") {
      options[option] = "";
      continue;
    }
    if (!kValueOptions.contains(option)) throw TUsageError{"unknown option " + option};
    if (i + 1 >= args.size()) throw TUsageError{option + " needs a value"};
    options[option] = args[++i];
  }
  return options;
}

const std::string* Option(const TOptions& options, const std::string& name) {
  const auto found = options.find(name);
  return found == options.end() ? nullptr : &found->second;
}

int Number(const std::string& text, const std::string& option) {
  const std::optional<int32_t> value = TryStrToInt(text);
  if (!value) throw TUsageError{option + " takes a number, not '" + text + "'"};
  return *value;
}

// The dialog over the stored tasks, as the host would open it.
class TEditor {
 public:
  TEditor(const std::string& file, const std::string& prefix) {
    if (!FileExists(file)) std::ofstream(PathFromUtf8(file), std::ios::binary);
    module().SetCurrentIniFile(file);
    module().SetINISectionPrefix(prefix);
    form_ = new TfrmOption(module());  // owned by the module
  }

  TfrmOption& Form() const { return *form_; }
  template <typename T>
  T& Get(std::string_view name) const {
    return form_->Get<T>(name);
  }

  void SelectLine(const TOptions& options) {
    const std::string* line = Option(options, "--line");
    if (line == nullptr) throw TUsageError{"--line N names the task"};
    const int index = Number(*line, "--line") - 1;
    if (index < 0 || index >= Get<TListView>("lvTasks").Count()) {
      throw TUsageError{"there is no task at line " + *line};
    }
    Get<TListView>("lvTasks").Select(index);
  }

  // Runs an action as its button would, after the idle-time check of what is available.
  bool Execute(std::string_view action) {
    Get<TActionList>("actList").UpdateActions();
    return Get<TAction>(action).Execute();
  }

  void SaveWithOk() { Get<TButton>("btnOK").Click(); }

  // The dialog opens with the first task loaded into its controls; a task added from a script
  // starts instead from the design values, with no action and no mode chosen.
  void StartFromDesignValues() {
    Get<TComboBox>("comboMode").Choose(-1);
    Get<TComboBox>("comboAction").Choose(-1);
    for (const std::string_view grid : {kHourGrid, kWeekGrid, kOrdinalGrid, kWeekdayGrid, kMonthGrid}) {
      form_->SetPressedList("", grid);
    }
    Get<TComboBox>("comboArgs").SetText({});
    Get<TTimeField>("edtTime").SetTime(0, 0);
    Get<TCheckBox>("chkRepeatHour").SetChecked(false);
    Get<TCheckBox>("chkRepeatMin").SetChecked(false);
    for (const char* spin : {"spRepeatValueHour", "spRepeatValueMin", "spAfterValue"}) {
      Get<TSpinEdit>(spin).SetValue(1);
    }
    Get<TRadioButton>("rbAfter2").SetChecked(true);
    Get<TComboBox>("comboAfterUnits").SetItemIndex(0);
    Get<THotKey>("edtHotkey").SetHotKey(0xE041);
    Get<TEdit>("edtEventName").SetText("EVENT-ID");
  }

 private:
  TaPlugin& module() { return static_cast<TaPlugin&>(*instance_); }

  std::unique_ptr<plugin::TkivPlugin> instance_ = plugin::CreatePlugin<TaPlugin>(nullptr);
  TfrmOption* form_ = nullptr;
};

int ModeIndex(const std::string& keyword) {
  for (int i = 0; i < static_cast<int>(std::size(kModeKeywords)); ++i) {
    if (SameTextAscii(kModeKeywords[i], keyword)) return i;
  }
  throw TUsageError{"unknown mode " + keyword};
}

void SetRepeat(TEditor& editor, const std::string& value, const char* box, const char* spin,
               const std::string& option) {
  auto& check = editor.Get<TCheckBox>(box);
  if (value != "off") editor.Get<TSpinEdit>(spin).SetValue(Number(value, option));
  if (check.Checked() != (value != "off")) check.Click();
}

void SetTime(TEditor& editor, const std::string& value) {
  const size_t colon = value.find(':');
  if (colon == std::string::npos) throw TUsageError{"--time takes HH:MM"};
  editor.Get<TTimeField>("edtTime").SetTime(Number(value.substr(0, colon), "--time"),
                                            Number(value.substr(colon + 1), "--time"));
}

void SetDelay(TEditor& editor, const std::string& value) {
  if (value == "now") {
    editor.Get<TRadioButton>("rbAfter1").Click();
    return;
  }
  const std::string units = "smh";
  const size_t unit = value.empty() ? std::string::npos : units.find(value.back());
  if (unit == std::string::npos) throw TUsageError{"--delay takes now or N followed by s, m or h"};
  editor.Get<TRadioButton>("rbAfter2").Click();
  editor.Get<TSpinEdit>("spAfterValue").SetValue(Number(value.substr(0, value.size() - 1), "--delay"));
  editor.Get<TComboBox>("comboAfterUnits").SetItemIndex(static_cast<int>(unit));
}

void SetPredecessor(TEditor& editor, const std::string& value) {
  auto& predecessors = editor.Get<TComboBox>("comboAfterAction");
  if (value == "none") {
    predecessors.SetItemIndex(-1);
    return;
  }
  for (int i = 0; i < predecessors.Items().Count(); ++i) {
    if (editor.Form().PredecessorId(i) == value) {
      predecessors.SetItemIndex(i);
      return;
    }
  }
  throw TUsageError{"no stored task has the identifier " + value};
}

// The options whose controls only some kinds of task show. Given for another kind they would be
// set on a hidden page and dropped without a word, so they are refused instead.
struct TPageOption {
  const char* Name;
  std::set<int> Pages;
};
const TPageOption kPageOptions[] = {
    {"--time", {mpHourly, mpDaily, mpWeekly, mpWeekday, mpMonthly}},
    {"--repeat-hours", {mpDaily, mpWeekly, mpWeekday, mpMonthly}},  // hourly ones repeat anyway
    {"--repeat-minutes", {mpHourly, mpDaily, mpWeekly, mpWeekday, mpMonthly}},
    {"--hours", {mpHourly}},
    {"--weekdays", {mpWeekly, mpWeekday}},
    {"--ordinals", {mpWeekday}},
    {"--month-days", {mpMonthly}},
    {"--hotkey", {mpHotkey}},
    {"--after", {mpAfter}},
    {"--delay", {mpAfter}},
    {"--event-id", {mpEvent}},
};

void RefuseOptionsOfOtherPages(const TOptions& options, int page) {
  if (page < 0) return;  // no mode yet: adding then fails for that
  for (const TPageOption& option : kPageOptions) {
    if (Option(options, option.Name) == nullptr || option.Pages.contains(page)) continue;
    throw TUsageError{std::string(option.Name) + " does not apply to " + kModeKeywords[page] +
                      " tasks"};
  }
}

// What the user would do in the dialog, control by control: mode and action first, since they
// switch the page and the argument field.
void ApplyChoices(TEditor& editor, const TOptions& options) {
  TfrmOption& form = editor.Form();
  if (const std::string* mode = Option(options, "--mode")) {
    editor.Get<TComboBox>("comboMode").Choose(ModeIndex(*mode));
  }
  if (const std::string* action = Option(options, "--action")) {
    const int index = static_cast<TaPlugin&>(*form.Owner()).ActionCaption(UpperCaseAscii(*action)).first;
    if (index < 0) throw TUsageError{"unknown action " + *action};
    editor.Get<TComboBox>("comboAction").Choose(index);
  }
  const int page = editor.Get<TComboBox>("comboMode").ItemIndex();
  RefuseOptionsOfOtherPages(options, page);
  if (const std::string* argument = Option(options, "--argument")) {
    auto& field = editor.Get<TComboBox>("comboArgs");
    if (!field.Enabled()) throw TUsageError{"this action takes no argument"};
    field.SetText(*argument);
  }
  if (const std::string* time = Option(options, "--time")) SetTime(editor, *time);
  if (const std::string* hours = Option(options, "--repeat-hours")) {
    SetRepeat(editor, *hours, "chkRepeatHour", "spRepeatValueHour", "--repeat-hours");
  }
  if (const std::string* minutes = Option(options, "--repeat-minutes")) {
    SetRepeat(editor, *minutes, "chkRepeatMin", "spRepeatValueMin", "--repeat-minutes");
  }
  if (const std::string* list = Option(options, "--hours")) form.SetPressedList(*list, kHourGrid);
  if (const std::string* list = Option(options, "--weekdays")) {
    form.SetPressedList(*list, page == mpWeekday ? kWeekdayGrid : kWeekGrid);
  }
  if (const std::string* list = Option(options, "--ordinals")) {
    form.SetPressedList(*list, kOrdinalGrid);
  }
  if (const std::string* list = Option(options, "--month-days")) {
    form.SetPressedList(*list, kMonthGrid);
  }
  if (const std::string* keys = Option(options, "--hotkey")) {
    const platform::TShortCut shortCut = TextToShortCut(*keys);
    if (shortCut == 0) throw TUsageError{"not a key combination: " + *keys};
    editor.Get<THotKey>("edtHotkey").SetHotKey(shortCut);
  }
  if (const std::string* after = Option(options, "--after")) SetPredecessor(editor, *after);
  if (const std::string* delay = Option(options, "--delay")) SetDelay(editor, *delay);
  if (const std::string* id = Option(options, "--event-id")) {
    editor.Get<TEdit>("edtEventName").SetText(*id);
  }
}

void List(const TEditor& editor, std::ostream& out) {
  const auto& rows = editor.Get<TListView>("lvTasks");
  const std::vector<std::string>& lines = editor.Form().TaskLines().Lines();
  for (int i = 0; i < rows.Count(); ++i) {
    const TListRow& row = rows.Row(i);
    const std::vector<std::string> fields = SplitTaskLine(lines[i]);
    out << i + 1 << "  " << (fields.empty() ? "" : fields[0]) << "  " << row.Caption << "  "
        << row.SubItems[0] << "  " << row.SubItems[1];
    if (fields.size() > 4) out << "  " << fields[4];
    out << '\n';
  }
}

void Edit(TEditor& editor, const std::string& operation, const TOptions& options) {
  if (operation == "clear") {
    editor.Execute("actClear");
  } else if (operation == "add") {
    editor.StartFromDesignValues();
    ApplyChoices(editor, options);
    if (!editor.Execute("actAdd")) throw TUsageError{"add needs --action and --mode"};
  } else {
    editor.SelectLine(options);
    if (operation == "modify") {
      ApplyChoices(editor, options);
      if (!editor.Execute("actModify")) throw TUsageError{"the task needs an action and a mode"};
    }
    if (operation == "delete") editor.Execute("actDel");
    if (operation == "move") {
      const bool down = Option(options, "--down") != nullptr;
      if (!down && Option(options, "--up") == nullptr) throw TUsageError{"move needs --up or --down"};
      if (!editor.Execute(down ? "actDown" : "actUp")) throw TUsageError{"the task cannot move further"};
    }
  }
  editor.SaveWithOk();
}

}  // namespace

int RunTasksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty() || !kOperations.contains(args[0])) throw TUsageError{"choose an operation"};
    const TOptions options = ReadOptions(args);
    const std::string* file = Option(options, "--ini");
    if (file == nullptr) throw TUsageError{"--ini FILE names the settings file"};
    const std::string* prefix = Option(options, "--section-prefix");
    TEditor editor(*file, prefix == nullptr ? std::string() : *prefix);
    if (args[0] == "list") {
      List(editor, out);
      return 0;
    }
    Edit(editor, args[0], options);
    return 0;
  } catch (const TUsageError& error) {
    err << "chronel tasks: " << error.Message << '\n' << kUsage;
    return kErrorStatus;
  }
}

int RunTasksCommand(const std::vector<std::string>& args) {
  return RunTasksCommand(args, std::cout, std::cerr);
}

}  // namespace chronel
