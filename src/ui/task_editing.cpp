// The task editor's operations on its task list: adding and modifying from the controls,
// loading a selected task back into them, deleting, clearing, moving, and when each is available.
// Row i of lvTasks and line i of lstTasks always change together.
#include "core/numbers.h"
#include "core/text.h"
#include "engine/a_plugin.h"
#include "engine/menu.h"
#include "engine/strings_holder.h"
#include "engine/task_runs.h"
#include "platform/clock.h"
#include "tasks/task_id.h"
#include "tasks/task_line.h"
#include "tasks/task_params.h"
#include "ui/action_list.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/frm_option.h"
#include "ui/hot_key_field.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/radio_button.h"
#include "ui/shortcut_text.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"

namespace chronel {
namespace {

// The grid that holds each time mode's day list (P5); WEEKDAY also has its weekdays (P6).
std::string_view ListGrid(int page) {
  switch (page) {
    case mpHourly: return kHourGrid;
    case mpWeekly: return kWeekGrid;
    case mpWeekday: return kOrdinalGrid;
    case mpMonthly: return kMonthGrid;
    default: return {};
  }
}

bool IsTimeMode(int page) { return page >= mpHourly && page <= mpMonthly; }

constexpr int kUnitCount = 3;

}  // namespace

// --- composing a line from the controls

std::string TfrmOption::ParamsText(int page) const {
  if (page == mpHotkey) {
    const platform::TShortCut key = Get<THotKey>("edtHotkey").HotKey();
    return HotKeyParamsText(ShortCutText(key), key);
  }
  if (page == mpAfter) {
    const auto& predecessors = Get<TComboBox>("comboAfterAction");
    const int chosen = predecessors.ItemIndex();
    return AfterParamsText(Get<TRadioButton>("rbAfter2").Checked(),
                           Get<TSpinEdit>("spAfterValue").Value(),
                           Get<TComboBox>("comboAfterUnits").ItemIndex(),
                           PredecessorId(chosen));
  }
  if (page == mpEvent) return Get<TEdit>("edtEventName").Text();
  const auto& time = Get<TTimeField>("edtTime");
  const std::string_view grid = ListGrid(page);
  const TTimeParams params{.Hour = time.Hour(),
                           .Minute = time.Minute(),
                           .RepeatHours = Get<TCheckBox>("chkRepeatHour").Checked(),
                           .RepeatMinutes = Get<TCheckBox>("chkRepeatMin").Checked(),
                           .HourStep = Get<TSpinEdit>("spRepeatValueHour").Value(),
                           .MinuteStep = Get<TSpinEdit>("spRepeatValueMin").Value(),
                           .List = grid.empty() ? "" : GetPressedList(grid),
                           .WeekdayList = page == mpWeekday ? GetPressedList(kWeekdayGrid) : ""};
  return TimeParamsText(kModeKeywords[page], params);
}

// action||mode||params[||argument]
std::string TfrmOption::LineBody() const {
  const int page = ModeIndex();
  const std::string& argument = Get<TComboBox>("comboArgs").Text();
  std::string body = ChosenAction()->Name() + "||" + kModeKeywords[page] + "||" + ParamsText(page);
  if (!argument.empty()) body += "||" + argument;
  return body;
}

// The Modify button and its action modify the selected task; anything else adds one.
void TfrmOption::btnAddClick(TObject& sender) {
  if (ModeIndex() < 0 || ChosenAction() == nullptr) return;
  const bool modify = &sender == FindComponent("btnModify") || &sender == FindComponent("actModify");
  if (modify) {
    ModifySelectedTask();
    return;
  }
  AddTask();
}

void TfrmOption::ModifySelectedTask() {
  auto& rows = Get<TListView>("lvTasks");
  const int index = rows.ItemIndex();
  if (index < 0) return;
  const std::vector<std::string> fields = SplitTaskLine(TaskLines()[index]);
  const std::string id = fields.empty() ? std::string() : fields[0];
  rows.SetRow(index, {Get<TComboBox>("comboAction").Text(),
                      {Get<TComboBox>("comboMode").Text(), ParamsText(ModeIndex())}});
  TaskLines().Put(index, id + "||" + LineBody());
  ShowNextRuns(index);
}

void TfrmOption::AddTask() {
  auto& rows = Get<TListView>("lvTasks");
  rows.AddRow({Get<TComboBox>("comboAction").Text(),
               {Get<TComboBox>("comboMode").Text(), ParamsText(ModeIndex())}});
  TaskLines().Add(NewTaskID() + "||" + LineBody());
  rows.Select(rows.Count() - 1);
}

// --- loading a selected task into the controls

void TfrmOption::lvTasksSelectItem(TObject&, int index, bool selected) {
  ShowNextRuns(selected ? index : -1);
  if (!selected || index < 0 || index >= TaskLines().Count()) return;
  const std::vector<std::string> fields = SplitTaskLine(TaskLines()[index]);
  const auto field = [&fields](size_t n) { return n < fields.size() ? fields[n] : std::string(); };
  const std::string params = field(3);

  const TStringList& keywords = Get<TStringsHolder>("lstModes").Strings();
  int page = -1;
  for (int i = 0; i < keywords.Count(); ++i) {
    if (keywords[i] == field(2)) page = i;
  }
  auto& modes = Get<TComboBox>("comboMode");
  modes.SetItemIndex(page);
  comboModeChange(modes);
  auto& actions = Get<TComboBox>("comboAction");
  actions.SetItemIndex(ActionIndex(field(1)));
  comboActionChange(actions);
  auto& argument = Get<TComboBox>("comboArgs");
  if (argument.Enabled()) argument.SetText(field(4));

  if (IsTimeMode(page)) LoadTimeParams(page, params);
  if (page == mpHotkey) {
    Get<THotKey>("edtHotkey").SetHotKey(
        static_cast<platform::TShortCut>(HexToIntDef(TaskParam(params, 2), 0)));
  }
  if (page == mpAfter) LoadAfterParams(params);
  if (page == mpEvent) Get<TEdit>("edtEventName").SetText(TaskParam(params, 1));
}

void TfrmOption::LoadTimeParams(int page, std::string_view params) {
  const std::string_view grid = ListGrid(page);
  if (!grid.empty()) SetPressedList(TaskParam(params, 5), grid);
  if (page == mpWeekday) SetPressedList(TaskParam(params, 6), kWeekdayGrid);
  const TStartTime start = ReadStartTime(TaskParam(params, 1));
  Get<TTimeField>("edtTime").SetTime(start.Hour, start.Minute);
  const std::string flags = TaskParam(params, 2);
  Get<TCheckBox>("chkRepeatHour").SetChecked(RepeatHoursFlag(flags));
  Get<TCheckBox>("chkRepeatMin").SetChecked(RepeatMinutesFlag(flags));
  Get<TSpinEdit>("spRepeatValueHour").SetValue(ReadStep(TaskParam(params, 3)));
  Get<TSpinEdit>("spRepeatValueMin").SetValue(ReadStep(TaskParam(params, 4)));
  chkRepeatHourClick(*this);
}

void TfrmOption::LoadAfterParams(std::string_view params) {
  const bool interval = TaskParam(params, 1) == "Y";
  Get<TRadioButton>(interval ? "rbAfter2" : "rbAfter1").SetChecked(true);
  Get<TSpinEdit>("spAfterValue").SetValue(StrToIntDef(TaskParam(params, 2), 1));
  const int unit = StrToIntDef(TaskParam(params, 3), 0);
  Get<TComboBox>("comboAfterUnits").SetItemIndex(unit >= 0 && unit < kUnitCount ? unit : 0);
  auto& predecessors = Get<TComboBox>("comboAfterAction");
  // The task that runs it is found by its identifier exactly, as the tasks find each other.
  const std::string predecessor = TaskParam(params, 4);
  int chosen = -1;
  for (int i = 0; !predecessor.empty() && i < predecessors.Items().Count() && chosen < 0; ++i) {
    if (PredecessorId(i) == predecessor) chosen = i;
  }
  predecessors.SetItemIndex(chosen);
  rbAfter1Click(*this);
}

// --- when the selected task runs

void TfrmOption::ShowNextRuns(int index) {
  auto& label = Get<TLabel>("lblNextRuns");
  label.SetCaption(index >= 0 && index < TaskLines().Count() ? NextRunsText(TaskLines()[index])
                                                             : std::string());
}

// Times as "YYYY-MM-DD HH:MM" (tasks start on the minute), sentences in the dialog's language.
std::string TfrmOption::NextRunsText(const std::string& line) const {
  constexpr int kShownRuns = 3;
  const std::vector<std::string> fields = SplitTaskLine(line);
  if (fields.size() < kMinTaskFields) return {};
  if (!HasSchedule(UpperCaseAscii(fields[2]))) return module_.MessageOf("MsgRunsOnTrigger");
  try {
    std::string runs;
    for (TDateTime run : NextRuns(fields, platform::CurrentClock().LocalNow(), kShownRuns)) {
      runs += (runs.empty() ? "" : ", ") + DateTimeToText(run).substr(0, 16);
    }
    if (runs.empty()) return module_.MessageOf("MsgNoRuns");
    return module_.FormattedMessage("MsgNextRuns", {runs.c_str()});
  } catch (const Exception& error) {
    return module_.FormattedMessage("MsgScheduleFails", {error.Message().c_str()});
  }
}

// --- deleting, clearing, moving

void TfrmOption::btnDelClick(TObject&) {
  auto& rows = Get<TListView>("lvTasks");
  const int index = rows.ItemIndex();
  if (index < 0) return;
  rows.BeginUpdate();
  TaskLines().Delete(index);
  rows.DeleteRow(index);
  rows.EndUpdate();
}

void TfrmOption::btnClearClick(TObject&) {
  auto& rows = Get<TListView>("lvTasks");
  rows.BeginUpdate();
  rows.Clear();
  TaskLines().Clear();
  rows.EndUpdate();
}

// actDown carries Tag 1; actUp moves the other way.
void TfrmOption::actUpExecute(TObject& sender) {
  auto& rows = Get<TListView>("lvTasks");
  const int index = rows.ItemIndex();
  const auto* action = dynamic_cast<const TComponent*>(&sender);
  const int target = index + (action != nullptr && action->Tag() == 1 ? 1 : -1);
  if (index < 0 || target < 0 || target >= rows.Count()) return;
  SwapTasks(index, target);
  rows.Select(target);
}

void TfrmOption::SwapTasks(int first, int second) {
  auto& rows = Get<TListView>("lvTasks");
  const TListRow row = rows.Row(first);
  rows.SetRow(first, rows.Row(second));
  rows.SetRow(second, row);
  TStringList& lines = TaskLines();
  const std::string line = lines[first];
  lines.Put(first, lines[second]);
  lines.Put(second, line);
}

// --- when each operation is available

void TfrmOption::actAddUpdate(TObject& sender) {
  dynamic_cast<TAction&>(sender).SetEnabled(ModeIndex() >= 0 && ChosenAction() != nullptr);
}

void TfrmOption::actModifyUpdate(TObject& sender) {
  dynamic_cast<TAction&>(sender).SetEnabled(ModeIndex() >= 0 && ChosenAction() != nullptr &&
                                            Get<TListView>("lvTasks").ItemIndex() >= 0);
}

void TfrmOption::actDelUpdate(TObject& sender) {
  dynamic_cast<TAction&>(sender).SetEnabled(Get<TListView>("lvTasks").ItemIndex() >= 0);
}

void TfrmOption::actUpUpdate(TObject& sender) {
  dynamic_cast<TAction&>(sender).SetEnabled(Get<TListView>("lvTasks").ItemIndex() > 0);
}

void TfrmOption::actDownUpdate(TObject& sender) {
  const auto& rows = Get<TListView>("lvTasks");
  dynamic_cast<TAction&>(sender).SetEnabled(rows.ItemIndex() >= 0 &&
                                            rows.ItemIndex() < rows.Count() - 1);
}

}  // namespace chronel
