#include "ui/frm_option.h"

#include "core/exception.h"
#include "core/numbers.h"
#include "core/published_properties.h"
#include "engine/a_plugin.h"
#include "engine/menu.h"
#include "engine/strings_holder.h"
#include "platform/ole_string.h"
#include "tasks/task_line.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/group_box.h"
#include "ui/html_help.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/radio_button.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"

namespace chronel {
namespace {

// Space left below a page's lowest control.
constexpr int kPageMargin = 15;
// The "Start at" box sits this far below the page area.
constexpr int kTimeBoxGap = 5;
// An action child with this tag offers a list of data sources to choose from.
constexpr int kListArgumentTag = 2;

// The control whose bottom edge sets the height of each page; none for "Daily".
constexpr const char* kPageReference[] = {"btnH_23", "",          "btnW_1",     "btnWD_1",
                                          "btnM_32", "edtHotkey", "gbInterval", "edtEventName"};

bool ShowsTimeBox(int page) { return page != mpHotkey && page != mpAfter && page != mpEvent; }

std::string ChangeExtension(const std::string& file, std::string_view extension) {
  const size_t dot = file.rfind('.');
  return (dot == std::string::npos ? file : file.substr(0, dot)) + std::string(extension);
}

}  // namespace

TfrmOption::TfrmOption(TaPlugin& module) : TForm(&module), module_(module) {
  LoadDeclaration(*this, Declaration());
  DoCreate();
}

const TClassInfo& TfrmOption::StaticClassInfo() {
  static const TClassInfo info(
      "TfrmOption", &TForm::StaticClassInfo(),
      {
          Published("BorderWidth", &TfrmOption::borderWidth_),
          Published("MinWidth", &TfrmOption::minWidth_),
          Published("MinHeight", &TfrmOption::minHeight_),
          Published("Scaled", &TfrmOption::scaled_),
          Published("HelpFile", &TfrmOption::helpFile_),
          Published("ActiveControl", &TfrmOption::activeControl_),
      },
      {
          PublishedMethod("FormCreate", &TfrmOption::FormCreate),
          PublishedMethod("FormClose", &TfrmOption::FormClose),
          PublishedMethod("pBotResize", &TfrmOption::pBotResize),
          PublishedMethod("comboModeChange", &TfrmOption::comboModeChange),
          PublishedMethod("comboActionChange", &TfrmOption::comboActionChange),
          PublishedMethod("chkRepeatHourClick", &TfrmOption::chkRepeatHourClick),
          PublishedMethod("rbAfter1Click", &TfrmOption::rbAfter1Click),
          PublishedMethod("btnSBClick", &TfrmOption::btnSBClick),
          PublishedMethod("btnAddClick", &TfrmOption::btnAddClick),
          PublishedMethod("lvTasksSelectItem", &TfrmOption::lvTasksSelectItem),
          PublishedMethod("btnDelClick", &TfrmOption::btnDelClick),
          PublishedMethod("btnClearClick", &TfrmOption::btnClearClick),
          PublishedMethod("actUpExecute", &TfrmOption::actUpExecute),
          PublishedMethod("actAddUpdate", &TfrmOption::actAddUpdate),
          PublishedMethod("actModifyUpdate", &TfrmOption::actModifyUpdate),
          PublishedMethod("actDelUpdate", &TfrmOption::actDelUpdate),
          PublishedMethod("actUpUpdate", &TfrmOption::actUpUpdate),
          PublishedMethod("actDownUpdate", &TfrmOption::actDownUpdate),
      });
  return info;
}

void TfrmOption::RaiseMissing(std::string_view name) {
  throw EComponentError("The options dialog has no component " + std::string(name) +
                        " of that class");
}

TStringList& TfrmOption::TaskLines() const { return Get<TStringsHolder>("lstTasks").Strings(); }

// --- opening

// Whatever fails ends the opening there; the dialog still opens with what it has.
void TfrmOption::FormCreate(TObject&) {
  try {
    OpenSteps();
  } catch (const std::exception&) {
    // the steps that ran stay done
  }
}

void TfrmOption::OpenSteps() {
  SetCaption(module_.Description + " " + module_.VersionText());
  applicationHelpFile_ = module_.ModuleDir() + "chronel.chm";
  helpFile_ = module_.ModuleDir() + ChangeExtension(module_.ModuleFileName(), ".chm");
  Get<THtmlHelp>("HtmlHelp").SetHelpFile(helpFile_);
  FillActionCombo();
  // Before the grids: their captions come from the translated pop-up menu.
  module_.Translate(*this);
  BuildDayGrids();
  LoadStoredProperties();
  FillTaskList();
  auto& tasks = Get<TListView>("lvTasks");
  if (tasks.Count() > 0) tasks.Select(0);
  auto& modes = Get<TComboBox>("comboMode");
  if (modes.ItemIndex() < 0) modes.SetItemIndex(mpHourly);
  comboModeChange(modes);
  Get<TTimeField>("edtTime").SetTime(0, 0);
  chkRepeatHourClick(*this);
  Get<TComboBox>("comboAfterUnits").SetItemIndex(0);
  rbAfter1Click(*this);
  // The defaults above are for a new task; the row shown selected gets its own values back, so
  // that a Modify of it changes only what the user changed (its time, its predecessor).
  if (tasks.ItemIndex() >= 0) lvTasksSelectItem(tasks, tasks.ItemIndex(), true);
}

void TfrmOption::FillActionCombo() {
  auto& actions = Get<TComboBox>("comboAction");
  actions.Clear();
  for (const TMenuItem* action : module_.ActionMenu().Items()) {
    actions.Items().Add(action->Caption());
  }
}

void TfrmOption::LoadStoredProperties() {
  using TRect = plugin::TkivPlugin::TRect;
  const TRect design{Left(), Top(), Left() + Width(), Top() + Height()};
  module_.SaveDialogBounds(design);
  module_.LoadSettings(&module_.PropertyMap(), *this);
  TRect loaded{Left(), Top(), Left() + Width(), Top() + Height()};
  if (module_.DialogMoved(loaded) || !module_.CenterOnOwner(loaded)) return;
  SetBounds(loaded.Left, loaded.Top, loaded.Right - loaded.Left, loaded.Bottom - loaded.Top);
}

// Every line gets a row, so row i is always line i: a line whose action is unknown shows its
// action keyword as written, and one whose mode is unknown its mode keyword.
void TfrmOption::FillTaskList() {
  auto& rows = Get<TListView>("lvTasks");
  rows.BeginUpdate();
  rows.Clear();
  for (const std::string& line : TaskLines().Lines()) {
    const std::vector<std::string> fields = SplitTaskLine(line);
    const auto field = [&fields](size_t n) { return n < fields.size() ? fields[n] : std::string(); };
    const auto [index, caption] = module_.ActionCaption(field(1));
    rows.AddRow({index < 0 ? field(1) : caption, {ModeText(field(2)), field(3)}});
  }
  rows.EndUpdate();
}

std::string TfrmOption::ModeText(std::string_view keyword) const {
  const TStringList& keywords = Get<TStringsHolder>("lstModes").Strings();
  const TStringList& texts = Get<TComboBox>("comboMode").Items();
  for (int i = 0; i < keywords.Count() && i < texts.Count(); ++i) {
    if (keywords[i] == keyword) return texts[i];
  }
  return std::string(keyword);
}

// --- closing

// OK keeps the edited task list; Cancel keeps only the window's place and size.
// An OK whose tasks cannot be stored leaves the dialog open with the user's edits, saying why
// under the list (and in the host's log): another OK may succeed, Cancel gives them up.
void TfrmOption::FormClose(TObject&) {
  if (ModalResult() != mrOk) {
    module_.SaveShortSettings(&module_.PropertyMap(), *this);
    return;
  }
  if (module_.SaveSettings(&module_.PropertyMap(), *this)) return;
  const std::string& file = module_.CurrentIniFile();
  const std::string message =
      module_.FormattedMessage("MsgNotSaved", {file.empty() ? "the registry" : file.c_str()});
  SetModalResult(mrNone);
  Get<TLabel>("lblNextRuns").SetCaption(message);
  module_.AddLog(plugin::lsError, message);
}

void TfrmOption::pBotResize(TObject&) {
  const auto& bottom = Get<TPanel>("pBot");
  auto& ok = Get<TButton>("btnOK");
  auto& cancel = Get<TButton>("btnCancel");
  ok.SetBounds(bottom.ClientWidth() / 2 - ok.Width() - 2, ok.Top(), ok.Width(), ok.Height());
  cancel.SetBounds(ok.Left() + ok.Width() + 4, cancel.Top(), cancel.Width(), cancel.Height());
}

// --- choosing a mode

int TfrmOption::ModeIndex() const { return Get<TComboBox>("comboMode").ItemIndex(); }

void TfrmOption::comboModeChange(TObject&) {
  const int page = ModeIndex();
  Get<TPageControl>("pcMode").SetActivePageIndex(page);
  SizePageArea(page);
  if (page == mpAfter) FillPredecessors();
  Get<TCheckBox>("chkRepeatHour").SetTag(page);
  PlaceTimeBox(page);
  chkRepeatHourClick(*this);
  rbAfter1Click(*this);
}

void TfrmOption::SizePageArea(int page) {
  auto& pages = Get<TPageControl>("pcMode");
  const char* reference = page < 0 ? "" : kPageReference[page];
  const auto* control = dynamic_cast<const TControl*>(FindComponent(reference));
  pages.SetClientHeight(control == nullptr ? 0 : control->Top() + control->Height() + kPageMargin);
}

// Every task of the list, the one being edited among them. An item keeps its task's identifier
// as stored, whatever its form, so that it is written back exactly so.
void TfrmOption::FillPredecessors() {
  auto& predecessors = Get<TComboBox>("comboAfterAction");
  const auto& rows = Get<TListView>("lvTasks");
  predecessors.Clear();
  predecessorIds_.clear();
  for (int i = 0; i < rows.Count(); ++i) {
    const TListRow& row = rows.Row(i);
    std::string text = row.Caption;
    for (const std::string& column : row.SubItems) text += " - " + column;
    const std::vector<std::string> fields = SplitTaskLine(TaskLines()[i]);
    predecessorIds_.push_back(fields.empty() ? std::string() : fields[0]);
    predecessors.AddItem(std::move(text), static_cast<uint32_t>(i));
  }
}

std::string TfrmOption::PredecessorId(int item) const {
  const auto& predecessors = Get<TComboBox>("comboAfterAction");
  if (item < 0 || item >= predecessors.Items().Count()) return {};
  const uint32_t number = predecessors.ItemNumber(item);
  return number < predecessorIds_.size() ? predecessorIds_[number] : std::string();
}

void TfrmOption::PlaceTimeBox(int page) {
  auto& box = Get<TGroupBox>("gbTime");
  const auto& pages = Get<TPageControl>("pcMode");
  box.SetVisible(ShowsTimeBox(page));
  box.SetBounds(box.Left(), pages.Top() + pages.Height() + kTimeBoxGap, box.Width(), box.Height());
}

// The hourly page keeps "Repeat every hour" off: its task repeats every hour anyway.
void TfrmOption::chkRepeatHourClick(TObject&) {
  auto& everyHour = Get<TCheckBox>("chkRepeatHour");
  auto& everyMinute = Get<TCheckBox>("chkRepeatMin");
  Get<TSpinEdit>("spRepeatValueMin").SetEnabled(everyMinute.Checked());
  everyHour.SetEnabled(everyHour.Tag() != mpHourly);
  if (!everyHour.Enabled()) everyHour.SetChecked(false);
  Get<TSpinEdit>("spRepeatValueHour").SetEnabled(everyHour.Checked() && everyHour.Enabled());
}

void TfrmOption::rbAfter1Click(TObject&) {
  const bool interval = Get<TRadioButton>("rbAfter2").Checked();
  Get<TSpinEdit>("spAfterValue").SetEnabled(interval);
  Get<TComboBox>("comboAfterUnits").SetEnabled(interval);
}

// --- choosing an action

TMenuItem* TfrmOption::ChosenAction() const {
  const int index = Get<TComboBox>("comboAction").ItemIndex();
  const auto items = module_.ActionMenu().Items();
  return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : nullptr;
}

int TfrmOption::ActionIndex(std::string_view keyword) const {
  return module_.ActionCaption(keyword).first;
}

void TfrmOption::comboActionChange(TObject&) {
  const TMenuItem* action = ChosenAction();
  const bool hasArgument = action != nullptr && action->Count() > 0;
  auto& argument = Get<TComboBox>("comboArgs");
  auto& label = Get<TLabel>("lblArgs");
  argument.SetEnabled(hasArgument);
  label.SetEnabled(hasArgument);
  if (!hasArgument) {
    argument.SetText({});
    argument.SetStyle(TComboBoxStyle::csSimple);
    label.SetCaption(label.Hint());
    return;
  }
  if (action->Name() == "OPEN" || action->Name() == "CLOSE") OfferConfigurations();
  const TMenuItem& child = *action->Items()[0];
  label.SetCaption(child.Caption());
  argument.SetStyle(child.Tag() == kListArgumentTag ? TComboBoxStyle::csDropDown
                                                    : TComboBoxStyle::csSimple);
}

// Without the host's list the combo keeps the names it had.
void TfrmOption::OfferConfigurations() {
  const TGetConfigurationsFunc list = module_.GetConfigurations();
  if (list == nullptr) return;
  platform::OleString names;
  list(names.Receive());
  Get<TComboBox>("comboArgs").Items().SetText(names.ToUtf8());
}

}  // namespace chronel
