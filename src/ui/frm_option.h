// TfrmOption: the task editor, the plug-in's options dialog, as a model without a window. It
// owns the dialog's controls (plain data, declared in frm_option_declaration.cpp), its private
// copy of the task lines and every handler; a window drawn over it shows the controls, forwards
// the user's input to them (Click, Choose, Select, SetText ...) and redraws what they announce.
//
// Threads: created, driven and freed on the thread that serves the host's options request;
// every handler runs there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/component_ref.h"
#include "core/event.h"
#include "core/form.h"
#include "core/form_declaration.h"
#include "core/string_list.h"

namespace chronel {

class TaPlugin;
class TMenuItem;
class TSpeedButton;
class TTabSheet;

// Keywords of the eight modes, in the order of the mode combo and of the pages.
inline constexpr const char* kModeKeywords[] = {"HOURLY",  "DAILY",  "WEEKLY", "WEEKDAY",
                                                "MONTHLY", "HOTKEY", "AFTER",  "EVENT"};
enum TModePage : int {
  mpHourly,
  mpDaily,
  mpWeekly,
  mpWeekday,
  mpMonthly,
  mpHotkey,
  mpAfter,
  mpEvent,
};

// Name prefixes of the day grids.
inline constexpr std::string_view kHourGrid = "btnH_";
inline constexpr std::string_view kWeekGrid = "btnW_";
inline constexpr std::string_view kOrdinalGrid = "btn_WD_";
inline constexpr std::string_view kWeekdayGrid = "btnWD_";
inline constexpr std::string_view kMonthGrid = "btnM_";

class TfrmOption : public TForm {
 public:
  // Owned by `module`, whose action menu, property map and settings it uses. Loads the
  // declaration and opens (FormCreate).
  explicit TfrmOption(TaPlugin& module);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static const TFormDeclaration& Declaration();

  // The declared component of that name and class; raises EComponentError when there is none.
  template <typename T>
  T& Get(std::string_view name) const {
    T* component = dynamic_cast<T*>(FindComponent(name));
    if (component == nullptr) RaiseMissing(name);
    return *component;
  }
  // The private copy of the task lines (lstTasks); row i of lvTasks stands for line i.
  TStringList& TaskLines() const;
  // The identifier of the task that item `item` of the predecessor list names, as stored; empty
  // when there is no such item.
  std::string PredecessorId(int item) const;
  // The application-wide help file chosen at opening, for the view to hand to the system.
  const std::string& ApplicationHelpFile() const { return applicationHelpFile_; }
  // The form's own help file; help context 80 opens its topic 80.
  const std::string& HelpFile() const { return helpFile_; }
  TWinControl* ActiveControl() const override { return activeControl_.Get(); }

  // --- opening, choices, closing
  void FormCreate(TObject& sender);
  void FormClose(TObject& sender);
  void pBotResize(TObject& sender);
  void comboModeChange(TObject& sender);
  void comboActionChange(TObject& sender);
  void chkRepeatHourClick(TObject& sender);
  void rbAfter1Click(TObject& sender);

  // --- day grids
  // Builds one grid of flat toggle buttons on `page`, row by row; each button keeps
  // group * 1000 + its value in its Tag and is named prefix + its running number from 1.
  struct TGridLayout {
    int Group = 0;
    bool SizeToCaption = false;
    bool ValuesFromZero = false;
    std::string Prefix;
    int Gap = 1;
    int ButtonHeight = 22;
    int MinWidth = 30;
    int Top = 4;
    int Left = 0;
    int LastRowCount = 0;  // 0 or less: the last row is full
    int Rows = 1;
    int PerRow = 1;
  };
  void CreateDayButtons(TTabSheet& page, const TGridLayout& layout, const TNotifyEvent& onClick,
                        const std::vector<std::string>& captions);
  void btnSBClick(TObject& sender);
  // The pressed values of a grid as a number list ("0-2,5,7,8"), empty when none is pressed.
  std::string GetPressedList(std::string_view prefix) const;
  // Presses exactly the buttons of the grid whose value the number list holds.
  void SetPressedList(std::string_view list, std::string_view prefix);

  // --- editing the task list
  void btnAddClick(TObject& sender);
  void lvTasksSelectItem(TObject& sender, int index, bool selected);
  void btnDelClick(TObject& sender);
  void btnClearClick(TObject& sender);
  void actUpExecute(TObject& sender);
  void actAddUpdate(TObject& sender);
  void actModifyUpdate(TObject& sender);
  void actDelUpdate(TObject& sender);
  void actUpUpdate(TObject& sender);
  void actDownUpdate(TObject& sender);

 private:
  [[noreturn]] static void RaiseMissing(std::string_view name);

  void OpenSteps();
  void FillActionCombo();
  void BuildDayGrids();
  void LoadStoredProperties();
  void FillTaskList();
  TMenuItem* ChosenAction() const;
  int ActionIndex(std::string_view keyword) const;
  std::string ModeText(std::string_view keyword) const;
  int ModeIndex() const;
  void SizePageArea(int page);
  void FillPredecessors();
  void PlaceTimeBox(int page);
  void OfferConfigurations();
  std::vector<TSpeedButton*> GridButtons(std::string_view prefix) const;

  std::string ParamsText(int page) const;
  std::string LineBody() const;
  void ModifySelectedTask();
  void AddTask();
  void LoadTimeParams(int page, std::string_view params);
  void LoadAfterParams(std::string_view params);
  void SwapTasks(int first, int second);
  // The line under the task list: the next three runs of the task at `index` (none: empty).
  void ShowNextRuns(int index);
  std::string NextRunsText(const std::string& line) const;

  TaPlugin& module_;
  std::string applicationHelpFile_;
  std::string helpFile_;
  int32_t borderWidth_ = 0;
  int32_t minWidth_ = 0;
  int32_t minHeight_ = 0;
  bool scaled_ = true;
  TComponentRef<TWinControl> activeControl_;
  // The identifiers of the predecessor list's items, taken when it is filled: Delete and Clear
  // change the lines under a list that is not filled again until the mode changes.
  std::vector<std::string> predecessorIds_;
};

}  // namespace chronel
