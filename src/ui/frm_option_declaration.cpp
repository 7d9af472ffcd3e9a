// The task editor's controls, captions, sizes, tags, help contexts and handler bindings.
#include "core/published_properties.h"
#include "engine/menu.h"
#include "engine/strings_holder.h"
#include "ui/action_list.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/frm_option.h"
#include "ui/group_box.h"
#include "ui/hot_key_field.h"
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

// Texts that are names, not words: the translator leaves components with this tag alone.
constexpr int64_t kUntranslated = 9999;

using TProperties = std::vector<TPropertyAssignment>;

TProperties Bounds(int64_t left, int64_t top, int64_t width, int64_t height) {
  return {{"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}};
}

TProperties With(TProperties properties, const TProperties& more) {
  properties.insert(properties.end(), more.begin(), more.end());
  return properties;
}

// `tag` tells the actions apart that share one handler.
TComponentDeclaration Action(const char* name, const char* caption, int64_t image,
                             const char* execute, const char* update, int64_t tag = 0) {
  TComponentDeclaration action{.Class = ClassOf<TAction>(),
                               .Name = name,
                               .Parent = "actList",
                               .Properties = {{"Caption", std::string(caption)},
                                              {"ImageIndex", image},
                                              {"Tag", tag}},
                               .Handlers = {{"OnExecute", execute}}};
  if (*update != '\0') action.Handlers.push_back({"OnUpdate", update});
  return action;
}

TComponentDeclaration ActionButton(const char* name, const char* parent, const char* action,
                                   TProperties bounds) {
  return {.Class = ClassOf<TButton>(),
          .Name = name,
          .Parent = parent,
          .Properties = With(std::move(bounds), {{"Action", std::string(action)}})};
}

TComponentDeclaration Page(const char* name) {
  return {.Class = ClassOf<TTabSheet>(),
          .Name = name,
          .Parent = "pcMode",
          .Properties = {{"TabVisible", false}}};
}

TComponentDeclaration Spin(const char* name, const char* parent, TProperties bounds) {
  return {.Class = ClassOf<TSpinEdit>(),
          .Name = name,
          .Parent = parent,
          .Properties = With(std::move(bounds),
                             {{"MinValue", int64_t{1}}, {"MaxValue", int64_t{60}},
                              {"Value", int64_t{1}}})};
}

TComponentDeclaration Caption(const TClassInfo* type, const char* name, const char* parent,
                              const char* caption, TProperties bounds) {
  return {.Class = type,
          .Name = name,
          .Parent = parent,
          .Properties = With({{"Caption", std::string(caption)}}, bounds)};
}

TComponentDeclaration MenuCaption(const char* name, const char* caption) {
  return {.Class = ClassOf<TMenuItem>(),
          .Name = name,
          .Parent = "PopupMenu1",
          .Properties = {{"Caption", std::string(caption)}}};
}

std::vector<TComponentDeclaration> NonVisualParts() {
  return {
      {.Class = ClassOf<TStringsHolder>(), .Name = "lstTasks", .Properties = {{"Tag", kUntranslated}}},
      {.Class = ClassOf<TStringsHolder>(),
       .Name = "lstModes",
       .Properties = {{"Tag", kUntranslated},
                      {"Strings", std::vector<std::string>(std::begin(kModeKeywords),
                                                           std::end(kModeKeywords))}}},
      {.Class = ClassOf<TPopupMenu>(), .Name = "PopupMenu1"},
      MenuCaption("mLastDay", "Last day"),
      MenuCaption("mFirst", "First"),
      MenuCaption("mSecond", "Second"),
      MenuCaption("mThird", "Third"),
      MenuCaption("mFourth", "Fourth"),
      MenuCaption("mFifth", "Fifth"),
      MenuCaption("mLast", "Last"),
      {.Class = ClassOf<THtmlHelp>(), .Name = "HtmlHelp", .Properties = {{"Tag", kUntranslated}}},
      {.Class = ClassOf<TActionList>(), .Name = "actList"},
      Action("actAdd", "Add", 0, "btnAddClick", "actAddUpdate"),
      Action("actDel", "Delete", 1, "btnDelClick", "actDelUpdate"),
      Action("actModify", "Modify", 2, "btnAddClick", "actModifyUpdate"),
      Action("actClear", "", 3, "btnClearClick", ""),
      Action("actUp", "Up", 4, "actUpExecute", "actUpUpdate"),
      Action("actDown", "Down", 5, "actUpExecute", "actDownUpdate", 1),
  };
}

std::vector<TComponentDeclaration> OperationPanel() {
  return {
      {.Class = ClassOf<TPanel>(),
       .Name = "panLeft",
       .Properties = {{"Align", std::string("alLeft")}, {"Width", int64_t{381}}}},
      {.Class = ClassOf<TPanel>(),
       .Name = "panOp",
       .Parent = "panLeft",
       .Properties = {{"Align", std::string("alTop")}, {"Height", int64_t{129}}}},
      Caption(ClassOf<TLabel>(), "Label1", "panOp", "Execute", Bounds(8, 8, 180, 13)),
      {.Class = ClassOf<TComboBox>(),
       .Name = "comboAction",
       .Parent = "panOp",
       .Properties = With(Bounds(8, 24, 180, 21), {{"Style", std::string("csDropDownList")},
                                                    {"Tag", kUntranslated}}),
       .Handlers = {{"OnChange", "comboActionChange"}}},
      {.Class = ClassOf<TComboBox>(),
       .Name = "comboMode",
       .Parent = "panOp",
       .Properties = With(Bounds(192, 24, 180, 21),
                          {{"Style", std::string("csDropDownList")},
                           {"Items", Lines({"Hourly", "Daily", "Weekly", "By weekday", "Monthly",
                                            "By hotkey", "After another task", "By event"})}}),
       .Handlers = {{"OnChange", "comboModeChange"}}},
      {.Class = ClassOf<TLabel>(),
       .Name = "lblArgs",
       .Parent = "panOp",
       .Properties = With(Bounds(8, 52, 120, 13), {{"Caption", std::string("Arguments")},
                                                    {"Hint", std::string("Arguments")}})},
      {.Class = ClassOf<TComboBox>(),
       .Name = "comboArgs",
       .Parent = "panOp",
       .Properties = With(Bounds(8, 68, 364, 21), {{"Tag", kUntranslated}})},
      ActionButton("btnAdd", "panOp", "actAdd", Bounds(8, 98, 100, 25)),
      ActionButton("btnModify", "panOp", "actModify", Bounds(112, 98, 100, 25)),
      ActionButton("btnDel", "panOp", "actDel", Bounds(216, 98, 100, 25)),
  };
}

std::vector<TComponentDeclaration> ModePages() {
  return {
      {.Class = ClassOf<TPageControl>(),
       .Name = "pcMode",
       .Parent = "panLeft",
       .Properties = {{"Align", std::string("alTop")}, {"Top", int64_t{129}}}},
      Page("tsHourly"),
      Page("tsDaily"),
      Page("tsWeekly"),
      Page("tsWeekday"),
      Page("tsMonthly"),
      Page("tsHotkey"),
      Page("tsAfter"),
      Page("tsByEvent"),
      {.Class = ClassOf<THotKey>(),
       .Name = "edtHotkey",
       .Parent = "tsHotkey",
       .Properties = With(Bounds(8, 8, 200, 21), {{"HotKey", int64_t{0xE041}}})},
      {.Class = ClassOf<TComboBox>(),
       .Name = "comboAfterAction",
       .Parent = "tsAfter",
       .Properties = With(Bounds(8, 8, 364, 21), {{"Style", std::string("csDropDownList")}})},
      {.Class = ClassOf<TGroupBox>(), .Name = "gbInterval", .Parent = "tsAfter",
       .Properties = Bounds(8, 34, 364, 70)},
      {.Class = ClassOf<TRadioButton>(),
       .Name = "rbAfter1",
       .Parent = "gbInterval",
       .Properties = With(Bounds(8, 16, 150, 17), {{"Caption", std::string("Immediately")}}),
       .Handlers = {{"OnClick", "rbAfter1Click"}}},
      {.Class = ClassOf<TRadioButton>(),
       .Name = "rbAfter2",
       .Parent = "gbInterval",
       .Properties = With(Bounds(8, 40, 150, 17), {{"Caption", std::string("After time interval")},
                                                    {"Checked", true}}),
       .Handlers = {{"OnClick", "rbAfter1Click"}}},
      Spin("spAfterValue", "gbInterval", Bounds(164, 38, 60, 22)),
      {.Class = ClassOf<TComboBox>(),
       .Name = "comboAfterUnits",
       .Parent = "gbInterval",
       .Properties = With(Bounds(228, 38, 120, 21),
                          {{"Style", std::string("csDropDownList")},
                           {"Items", Lines({"second", "minute", "hour"})},
                           {"ItemIndex", int64_t{0}}})},
      Caption(ClassOf<TLabel>(), "TntLabel1", "tsByEvent", "Event ID", Bounds(8, 8, 200, 13)),
      {.Class = ClassOf<TEdit>(),
       .Name = "edtEventName",
       .Parent = "tsByEvent",
       .Properties = With(Bounds(8, 24, 200, 21), {{"Text", std::string("EVENT-ID")}})},
  };
}

std::vector<TComponentDeclaration> StartTimeBox() {
  return {
      {.Class = ClassOf<TGroupBox>(),
       .Name = "gbTime",
       .Parent = "panLeft",
       .Properties = {{"Align", std::string("alTop")},
                      {"Height", int64_t{83}},
                      {"Caption", std::string("Start at")}}},
      Caption(ClassOf<TLabel>(), "Label2", "gbTime", "Time", Bounds(8, 20, 46, 13)),
      {.Class = ClassOf<TTimeField>(), .Name = "edtTime", .Parent = "gbTime",
       .Properties = Bounds(56, 16, 80, 21)},
      {.Class = ClassOf<TCheckBox>(),
       .Name = "chkRepeatHour",
       .Parent = "gbTime",
       .Properties = With(Bounds(8, 44, 220, 17), {{"Caption", std::string("Repeat every hour")}}),
       .Handlers = {{"OnClick", "chkRepeatHourClick"}}},
      Spin("spRepeatValueHour", "gbTime", Bounds(232, 42, 50, 22)),
      {.Class = ClassOf<TCheckBox>(),
       .Name = "chkRepeatMin",
       .Parent = "gbTime",
       .Properties = With(Bounds(170, 18, 140, 17), {{"Caption", std::string("Minute")}}),
       .Handlers = {{"OnClick", "chkRepeatHourClick"}}},
      Spin("spRepeatValueMin", "gbTime", Bounds(316, 16, 50, 22)),
  };
}

std::vector<TComponentDeclaration> TaskListPanel() {
  return {
      {.Class = ClassOf<TPanel>(), .Name = "panRight",
       .Properties = {{"Align", std::string("alClient")}}},
      {.Class = ClassOf<TListView>(),
       .Name = "lvTasks",
       .Parent = "panRight",
       .Properties = {{"Align", std::string("alClient")},
                      {"Columns", Items({{{"Caption", std::string("Action")},
                                          {"Width", int64_t{100}},
                                          {"MinWidth", int64_t{50}}},
                                         {{"Caption", std::string("Mode")},
                                          {"Width", int64_t{80}},
                                          {"MinWidth", int64_t{50}}},
                                         {{"Caption", std::string("Execute")},
                                          {"MinWidth", int64_t{200}},
                                          {"AutoSize", true}}})},
                      {"RowSelect", true},
                      {"ReadOnly", true},
                      {"ColumnClick", false},
                      {"HideSelection", false}},
       .Handlers = {{"OnSelectItem", "lvTasksSelectItem"}}},
      {.Class = ClassOf<TPanel>(),
       .Name = "panUpDow",
       .Parent = "panRight",
       .Properties = {{"Align", std::string("alBottom")}, {"Height", int64_t{35}}}},
      // Under the list: when the selected task runs next, in two lines at most.
      {.Class = ClassOf<TPanel>(),
       .Name = "panNextRuns",
       .Parent = "panRight",
       .Properties = {{"Align", std::string("alBottom")},
                      {"Height", int64_t{32}},
                      {"BorderWidth", int64_t{3}}}},
      {.Class = ClassOf<TLabel>(),
       .Name = "lblNextRuns",
       .Parent = "panNextRuns",
       .Properties = {{"Align", std::string("alClient")}, {"Tag", kUntranslated}}},
      ActionButton("btnUp", "panUpDow", "actUp", Bounds(8, 5, 100, 25)),
      ActionButton("btnDown", "panUpDow", "actDown", Bounds(112, 5, 100, 25)),
      {.Class = ClassOf<TButton>(),
       .Name = "btnClear",
       .Parent = "panUpDow",
       .Properties = With(Bounds(216, 5, 25, 25), {{"Action", std::string("actClear")},
                                                    {"Hint", std::string("Clear all")}})},
  };
}

std::vector<TComponentDeclaration> BottomPanel() {
  return {
      {.Class = ClassOf<TPanel>(),
       .Name = "pBot",
       .Properties = {{"Align", std::string("alBottom")},
                      {"Height", int64_t{45}},
                      {"HelpContext", int64_t{80}},
                      {"TopSeparator", true}},
       .Handlers = {{"OnResize", "pBotResize"}}},
      {.Class = ClassOf<TButton>(),
       .Name = "btnOK",
       .Parent = "pBot",
       .Properties = With(Bounds(0, 12, 75, 25), {{"Caption", std::string("OK")},
                                                   {"ModalResult", int64_t{mrOk}}})},
      {.Class = ClassOf<TButton>(),
       .Name = "btnCancel",
       .Parent = "pBot",
       .Properties = With(Bounds(0, 12, 75, 25), {{"Caption", std::string("Cancel")},
                                                   {"ModalResult", int64_t{mrCancel}},
                                                   {"Default", true},
                                                   {"Cancel", true}})},
  };
}

}  // namespace

const TFormDeclaration& TfrmOption::Declaration() {
  static const TFormDeclaration declaration = [] {
    TFormDeclaration d{
        .Name = "frmOption",
        .Properties = {{"Width", int64_t{691}},
                       {"Height", int64_t{456}},
                       {"MinWidth", int64_t{670}},
                       {"MinHeight", int64_t{456}},
                       {"BorderWidth", int64_t{3}},
                       {"HelpContext", int64_t{80}},
                       {"Font.Name", std::string("MS Sans Serif")},
                       {"Font.Height", int64_t{-11}},
                       {"Scaled", false},
                       {"ActiveControl", std::string("btnCancel")}},
        .Handlers = {{"OnCreate", "FormCreate"}, {"OnClose", "FormClose"}},
    };
    for (const auto& part : {NonVisualParts(), OperationPanel(), ModePages(), StartTimeBox(),
                             TaskListPanel(), BottomPanel()}) {
      d.Components.insert(d.Components.end(), part.begin(), part.end());
    }
    return d;
  }();
  return declaration;
}

}  // namespace chronel
