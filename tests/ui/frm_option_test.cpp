// Opening and closing the task editor, choosing a mode and an action, and the day grids.
#include "ui/frm_option.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "editor_fixture.h"
#include "support/fake_clock.h"
#include "platform/ole_string.h"
#include "tasks/atomic_file_writer.h"
#include "ui/align.h"
#include "ui/button.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "tasks/proxy_code_object.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/radio_button.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"

namespace chronel::test {
namespace {

int32_t CHRONEL_STDCALL TwoConfigurations(char16_t** names) {
  *names = platform::AllocOleStringFromUtf8("COM1\r\nLogger 2\r\n");
  return 0;
}

TEST_F(EditorTest, OpeningShowsEveryLineAsARowAndLoadsTheFirstIntoTheControls) {
  Open({"0000000A||SEND||WEEKLY||07:30;NY;3;15;1-5||PING",
        "0000000B||REBOOT||DAILY||08:00;NN;1;1",  // an action this plug-in does not have
        "0000000C||OPEN||SOMETIMES||x||COM1"});
  EXPECT_EQ(form_->Caption(), "Chronel " + Plugin().VersionText());
  ASSERT_EQ(Rows().Count(), 3);
  EXPECT_EQ(Rows().Row(0), (TListRow{"Send data", {"Weekly", "07:30;NY;3;15;1-5"}}));
  EXPECT_EQ(Rows().Row(1), (TListRow{"REBOOT", {"Daily", "08:00;NN;1;1"}}));
  EXPECT_EQ(Rows().Row(2), (TListRow{"Open data source", {"SOMETIMES", "x"}}));

  EXPECT_EQ(Rows().ItemIndex(), 0);
  EXPECT_EQ(Get<TComboBox>("comboMode").ItemIndex(), mpWeekly);
  EXPECT_EQ(Get<TPageControl>("pcMode").ActivePageIndex(), mpWeekly);
  EXPECT_EQ(Get<TComboBox>("comboArgs").Text(), "PING");
  EXPECT_EQ(form_->GetPressedList(kWeekGrid), "1-5");
  EXPECT_TRUE(Get<TCheckBox>("chkRepeatMin").Checked());
  EXPECT_EQ(Get<TSpinEdit>("spRepeatValueMin").Value(), 15);
  EXPECT_EQ(form_->ActiveControl(), &Get<TButton>("btnCancel"));
  EXPECT_EQ(Get<TComboBox>("comboAfterUnits").Text(), "second");
}

TEST_F(EditorTest, AnEmptyStoreOpensOnTheHourlyPageWithItsGridsBuilt) {
  Open({});
  EXPECT_EQ(Rows().Count(), 0);
  EXPECT_EQ(Get<TComboBox>("comboMode").ItemIndex(), mpHourly);
  EXPECT_FALSE(Get<TCheckBox>("chkRepeatHour").Enabled());
  const auto& six = Get<TSpeedButton>("btn_WD_6");
  EXPECT_EQ(six.Caption(), "Last");
  EXPECT_EQ(form_->FindComponent("btn_WD_7"), nullptr);
  EXPECT_EQ(Get<TSpeedButton>("btnH_24").Caption(), "23");
  EXPECT_EQ(Get<TSpeedButton>("btnM_32").Caption(), "Last day");
  EXPECT_EQ(Get<TSpeedButton>("btnM_32").Width(), 123);
  EXPECT_EQ(Get<TSpeedButton>("btnWD_1").Top(), 30);
  // Two rows of 22 with a gap of 1, starting at 4, then the margin of 15.
  EXPECT_EQ(Get<TPageControl>("pcMode").ClientHeight(), 4 + 22 + 1 + 22 + 15);
}

TEST_F(EditorTest, ModesSwitchThePageTheStartBoxAndTheRepeatControls) {
  Open({});
  auto& everyHour = Get<TCheckBox>("chkRepeatHour");
  Get<TComboBox>("comboMode").Choose(mpDaily);
  EXPECT_TRUE(everyHour.Enabled());
  everyHour.Click();
  EXPECT_TRUE(Get<TSpinEdit>("spRepeatValueHour").Enabled());
  Get<TComboBox>("comboMode").Choose(mpHourly);
  EXPECT_FALSE(everyHour.Enabled());
  EXPECT_FALSE(everyHour.Checked());
  EXPECT_FALSE(Get<TSpinEdit>("spRepeatValueHour").Enabled());
  Get<TComboBox>("comboMode").Choose(mpDaily);
  EXPECT_TRUE(everyHour.Enabled());
  EXPECT_FALSE(everyHour.Checked());
  EXPECT_EQ(Get<TPageControl>("pcMode").ClientHeight(), 0);

  const auto& box = Get<TGroupBox>("gbTime");
  const auto& pages = Get<TPageControl>("pcMode");
  for (const int mode : {mpHotkey, mpAfter, mpEvent}) {
    Get<TComboBox>("comboMode").Choose(mode);
    EXPECT_FALSE(box.Visible()) << mode;
  }
  Get<TComboBox>("comboMode").Choose(mpMonthly);
  EXPECT_TRUE(box.Visible());
  EXPECT_EQ(box.Top(), pages.Top() + pages.Height() + 5);

  Get<TRadioButton>("rbAfter1").Click();
  EXPECT_FALSE(Get<TSpinEdit>("spAfterValue").Enabled());
  EXPECT_FALSE(Get<TRadioButton>("rbAfter2").Checked());
  Get<TRadioButton>("rbAfter2").Click();
  EXPECT_TRUE(Get<TComboBox>("comboAfterUnits").Enabled());
}

TEST_F(EditorTest, ActionsChooseTheirArgumentFieldAndOpenOffersTheHostsConfigurations) {
  Plugin().SetGetConfigurationsForTesting(&TwoConfigurations);
  Open({});
  auto& argument = Get<TComboBox>("comboArgs");
  Get<TComboBox>("comboAction").Choose(Plugin().ActionCaption("OPEN").first);
  EXPECT_EQ(argument.Items().Lines(), (std::vector<std::string>{"COM1", "Logger 2"}));
  EXPECT_EQ(argument.Style(), TComboBoxStyle::csDropDown);
  EXPECT_EQ(Get<TLabel>("lblArgs").Caption(), "Data source");
  EXPECT_TRUE(argument.Enabled());

  argument.SetText("typed");
  Get<TComboBox>("comboAction").Choose(Plugin().ActionCaption("SEND").first);
  EXPECT_EQ(argument.Style(), TComboBoxStyle::csSimple);
  EXPECT_EQ(Get<TLabel>("lblArgs").Caption(), "Data");
  EXPECT_EQ(argument.Text(), "typed");

  Get<TComboBox>("comboAction").Choose(-1);
  EXPECT_FALSE(argument.Enabled());
  EXPECT_FALSE(Get<TLabel>("lblArgs").Enabled());
  EXPECT_EQ(argument.Text(), "");
  EXPECT_EQ(Get<TLabel>("lblArgs").Caption(), "Arguments");
}

TEST_F(EditorTest, WithoutTheHostsListOpenKeepsItsItemsAndStaysEditable) {
  Open({});
  auto& argument = Get<TComboBox>("comboArgs");
  argument.Items().SetLines({"kept"});
  Get<TComboBox>("comboAction").Choose(Plugin().ActionCaption("CLOSE").first);
  EXPECT_EQ(argument.Items().Lines(), (std::vector<std::string>{"kept"}));
  EXPECT_TRUE(argument.Enabled());
}

TEST_F(EditorTest, GridsWriteThePressedButtonsAsNumberLists) {
  Open({});
  struct Case {
    std::string_view grid;
    std::vector<std::string> pressed;
    const char* list;
  };
  const Case cases[] = {
      {kHourGrid, {"btnH_1", "btnH_2", "btnH_3", "btnH_6", "btnH_8", "btnH_9"}, "0-2,5,7,8"},
      {kWeekGrid, {"btnW_1", "btnW_2", "btnW_3", "btnW_4", "btnW_5"}, "1-5"},
      {kWeekGrid, {"btnW_6", "btnW_7"}, "6,7"},
      {kWeekGrid, {"btnW_7"}, "7"},
      {kMonthGrid, {"btnM_1", "btnM_15", "btnM_32"}, "1,15,32"},
      {kMonthGrid, {"btnM_30", "btnM_31", "btnM_32"}, "30-32"},
      {kOrdinalGrid, {}, ""},
  };
  for (const Case& c : cases) {
    form_->SetPressedList("", c.grid);
    for (const std::string& button : c.pressed) Press(button);
    EXPECT_EQ(form_->GetPressedList(c.grid), c.list) << c.list;
  }
  form_->SetPressedList("0-23", kHourGrid);
  EXPECT_EQ(form_->GetPressedList(kHourGrid), "0-23");
}

TEST_F(EditorTest, ReadingAListPressesExactlyItsValuesInThatGridOnly) {
  Open({});
  form_->SetPressedList("2", kWeekdayGrid);
  const struct {
    const char* list;
    const char* expected;
  } cases[] = {{"1-3, 5", "1-3,5"}, {"", ""}, {"40", ""}, {"x,3", "3"}, {"7-5,6", "6"}};
  for (const auto& c : cases) {
    form_->SetPressedList(c.list, kOrdinalGrid);
    EXPECT_EQ(form_->GetPressedList(kOrdinalGrid), c.expected) << c.list;
  }
  EXPECT_EQ(form_->GetPressedList(kWeekdayGrid), "2");
}

TEST_F(EditorTest, OkStoresTheTasksAndCancelOnlyThePlace) {
  const std::vector<std::string> stored = {"00000001||SEND||DAILY||08:00;NN;1;1||A"};
  Open(stored, "Left=40\r\n");
  EXPECT_EQ(form_->Left(), 40);
  form_->SetBounds(70, 80, 700, 460);
  form_->TaskLines().Clear();
  Get<TButton>("btnCancel").Click();
  EXPECT_EQ(form_->ModalResult(), mrCancel);

  TProxyCodeObject saved(nullptr);
  Plugin().LoadSettings(&Plugin().PropertyMap(), saved);
  EXPECT_EQ(saved.Left(), 70);
  EXPECT_EQ(saved.Width(), 700);
  EXPECT_EQ(saved.lstTasks_Strings().Lines(), stored);

  Get<TButton>("btnOK").Click();
  EXPECT_EQ(form_->ModalResult(), mrOk);
  Plugin().LoadSettings(&Plugin().PropertyMap(), saved);
  EXPECT_TRUE(saved.lstTasks_Strings().Lines().empty());
}

// A full disk at OK loses nothing: the dialog stays open with the edits and says why; the next
// OK stores them.
TEST_F(EditorTest, AnOkThatCannotStoreKeepsTheDialogOpenWithTheEdits) {
  const std::vector<std::string> stored = {"00000001||SEND||DAILY||08:00;NN;1;1||A"};
  Open(stored);
  form_->TaskLines().Clear();
  SetWriteLimitForTesting(16);
  Get<TButton>("btnOK").Click();
  SetWriteLimitForTesting(std::nullopt);
  EXPECT_EQ(form_->ModalResult(), mrNone);
  EXPECT_EQ(Get<TLabel>("lblNextRuns").Caption(),
            "The tasks could not be saved to " + Plugin().CurrentIniFile() + "; they are still here");
  TProxyCodeObject saved(nullptr);
  Plugin().LoadSettings(&Plugin().PropertyMap(), saved);
  EXPECT_EQ(saved.lstTasks_Strings().Lines(), stored);

  Get<TButton>("btnOK").Click();
  EXPECT_EQ(form_->ModalResult(), mrOk);
  Plugin().LoadSettings(&Plugin().PropertyMap(), saved);
  EXPECT_TRUE(saved.lstTasks_Strings().Lines().empty());
}

TEST_F(EditorTest, TheBottomButtonsMeetInTheMiddle) {
  Open({});
  Get<TPanel>("pBot").Resize(401, 45);
  EXPECT_EQ(Get<TButton>("btnOK").Left(), 200 - 75 - 2);
  EXPECT_EQ(Get<TButton>("btnCancel").Left(), 200 - 2 + 4);
}

// The line under the list answers "when does this run?" for the selected task, as `chronel next`
// would, and follows edits.
TEST_F(EditorTest, TheSelectedTasksNextRunsShowUnderTheList) {
  FakeClock clock(EncodeDateTime({2027, 4, 29, 12, 0, 0, 0}));
  Open({"00000001||SEND||DAILY||08:30;NN;1;1||a", "00000002||SEND||MONTHLY||23:59;NN;1;1;32||b",
        "00000003||SEND||HOTKEY||Ctrl+Alt+H;C048||c", "00000004||SEND||WEEKDAY||08:00;NN;1;1;9;1||d"});
  const auto& line = Get<TLabel>("lblNextRuns");
  EXPECT_EQ(line.Caption(), "Next runs: 2027-04-30 08:30, 2027-05-01 08:30, 2027-05-02 08:30");
  const std::pair<int, std::string> expected[] = {
      {1, "Next runs: 2027-04-30 23:59, 2027-05-31 23:59, 2027-06-30 23:59"},
      {2, "Runs on its trigger, not at set times"},
      {3, "No run within the next five years"},  // a ninth Monday never comes
  };
  for (const auto& [row, text] : expected) {
    Get<TListView>("lvTasks").Select(row);
    EXPECT_EQ(line.Caption(), text) << row;
  }
  Get<TListView>("lvTasks").Select(0);
  Get<TTimeField>("edtTime").SetTime(6, 0);
  ASSERT_TRUE(Execute("actModify"));
  EXPECT_EQ(line.Caption(), "Next runs: 2027-04-30 06:00, 2027-05-01 06:00, 2027-05-02 06:00");
}

// The client area a window of the design size has inside its frame, less the form's border.
TEST_F(EditorTest, DockingFillsTheClientAreaAsTheDialogIsSized) {
  TfrmOption& form = Open({});
  for (const auto& [width, height] : {std::pair{683, 422}, std::pair{900, 600}}) {
    SCOPED_TRACE(width);
    AlignControls(form, width, height, 3);
    const auto& left = Get<TPanel>("panLeft");
    const auto& bottom = Get<TPanel>("pBot");
    EXPECT_EQ((std::array{left.Left(), left.Top(), left.Width()}), (std::array{3, 3, 381}));
    EXPECT_EQ(left.Height(), height - 3 - 45 - 3);
    EXPECT_EQ((std::array{bottom.Left(), bottom.Top(), bottom.Width()}),
              (std::array{3, height - 3 - 45, width - 6}));
    const auto& list = Get<TListView>("lvTasks");
    const auto& right = Get<TPanel>("panRight");
    EXPECT_EQ(right.Left(), 3 + 381);
    EXPECT_EQ(right.Width(), width - 6 - 381);
    EXPECT_EQ((std::array{list.Left(), list.Top(), list.Width()}),
              (std::array{0, 0, right.Width()}));
    EXPECT_EQ(list.Height() + Get<TPanel>("panNextRuns").Height() + Get<TPanel>("panUpDow").Height(),
              right.Height());
    // The line of next runs sits right under the list and fills its panel less the border.
    const auto& nextRuns = Get<TLabel>("lblNextRuns");
    EXPECT_EQ(Get<TPanel>("panNextRuns").Top(), list.Height());
    EXPECT_EQ((std::array{nextRuns.Left(), nextRuns.Width()}), (std::array{3, right.Width() - 6}));
    // pBot heard its new width and centred its buttons.
    EXPECT_EQ(Get<TButton>("btnOK").Left(), (width - 6) / 2 - 75 - 2);
    // The start box follows the page area, which follows the operation panel.
    const auto& pages = Get<TPageControl>("pcMode");
    EXPECT_EQ(pages.Top(), 129);
    EXPECT_EQ(Get<TGroupBox>("gbTime").Top(), pages.Top() + pages.Height());
    EXPECT_EQ(Get<TTabSheet>("tsHourly").Height(), pages.Height());
  }
}

}  // namespace
}  // namespace chronel::test
