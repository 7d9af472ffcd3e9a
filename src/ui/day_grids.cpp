// The day grids of the task editor: runs of flat toggle buttons on the mode pages, written and
// read as number lists.
#include <algorithm>
#include <array>

#include "core/number_list.h"
#include "core/text.h"
#include "engine/menu.h"
#include "platform/locale_services.h"
#include "ui/frm_option.h"
#include "ui/page_control.h"
#include "ui/speed_button.h"
#include "ui/text_width.h"

namespace chronel {
namespace {

constexpr int kGroupStride = 1000;
constexpr int kCaptionPadding = 8;
constexpr int kSmallestDayWidth = 30;
// The month grid's last button holds a longer caption ("Last day").
constexpr int kLastDayWidth = 123;

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> numbers;
  for (int n = first; n <= last; ++n) numbers.push_back(std::to_string(n));
  return numbers;
}

int ButtonValue(const TSpeedButton& button) { return button.Tag() % kGroupStride; }

// One run of pressed values as the list writes it: 0-2, 7,8 or 5.
std::string RunText(int first, int last) {
  if (last - first >= 2) return std::to_string(first) + "-" + std::to_string(last);
  if (last > first) return std::to_string(first) + "," + std::to_string(last);
  return std::to_string(first);
}

}  // namespace

void TfrmOption::CreateDayButtons(TTabSheet& page, const TGridLayout& layout,
                                  const TNotifyEvent& onClick,
                                  const std::vector<std::string>& captions) {
  int y = layout.Top;
  size_t index = 0;
  for (int row = 1; row <= layout.Rows; ++row) {
    int x = layout.Left;
    const bool lastRow = row == layout.Rows;
    for (int column = 1; column <= layout.PerRow; ++column) {
      if (lastRow && layout.LastRowCount > 0 && column > layout.LastRowCount) break;
      auto* button = new TSpeedButton(this);  // owned, and so freed, by the form
      button->SetParent(&page);
      button->SetToggleStyle(0, true, true);
      button->SetOnClick(onClick);
      if (index < captions.size()) button->SetCaption(captions[index]);
      const int width = layout.SizeToCaption
                            ? std::max(EstimatedTextWidth(button->Caption()) + kCaptionPadding,
                                       layout.MinWidth)
                            : layout.MinWidth;
      button->SetBounds(x, y, width, layout.ButtonHeight);
      const int value = static_cast<int>(index) + (layout.ValuesFromZero ? 0 : 1);
      button->SetTag(layout.Group * kGroupStride + value);
      x += width + layout.Gap;
      ++index;
      button->SetName(layout.Prefix + std::to_string(index));
    }
    y += layout.ButtonHeight + layout.Gap;
  }
}

void TfrmOption::BuildDayGrids() {
  const std::array<std::string, 7> days = platform::LocaleShortDayNames();
  const std::vector<std::string> dayNames(days.begin(), days.end());
  int dayWidth = kSmallestDayWidth;
  for (const std::string& day : dayNames) dayWidth = std::max(dayWidth, EstimatedTextWidth(day));
  dayWidth += kCaptionPadding;
  std::vector<std::string> ordinals;
  for (const char* item : {"mFirst", "mSecond", "mThird", "mFourth", "mFifth", "mLast"}) {
    ordinals.push_back(Get<TMenuItem>(item).Caption());
  }
  std::vector<std::string> monthDays = Numbers(1, 31);
  monthDays.push_back(Get<TMenuItem>("mLastDay").Caption());

  const TNotifyEvent click(*this, &TfrmOption::btnSBClick, "btnSBClick");
  CreateDayButtons(Get<TTabSheet>("tsHourly"),
                   {.Group = 1, .ValuesFromZero = true, .Prefix = std::string(kHourGrid),
                    .MinWidth = 30, .Rows = 2, .PerRow = 12},
                   click, Numbers(0, 23));
  CreateDayButtons(Get<TTabSheet>("tsWeekly"),
                   {.Group = 2, .Prefix = std::string(kWeekGrid), .MinWidth = dayWidth,
                    .PerRow = 7},
                   click, dayNames);
  CreateDayButtons(Get<TTabSheet>("tsWeekday"),
                   {.Group = 3, .SizeToCaption = true, .Prefix = std::string(kOrdinalGrid),
                    .MinWidth = 0, .PerRow = 6},
                   click, ordinals);
  CreateDayButtons(Get<TTabSheet>("tsWeekday"),
                   {.Group = 3, .Prefix = std::string(kWeekdayGrid), .MinWidth = dayWidth,
                    .Top = 30, .PerRow = 7},
                   click, dayNames);
  CreateDayButtons(Get<TTabSheet>("tsMonthly"),
                   {.Group = 4, .Prefix = std::string(kMonthGrid), .MinWidth = 30,
                    .LastRowCount = 4, .Rows = 5, .PerRow = 7},
                   click, monthDays);
  auto& lastDay = Get<TSpeedButton>("btnM_32");
  lastDay.SetBounds(lastDay.Left(), lastDay.Top(), kLastDayWidth, lastDay.Height());
}

void TfrmOption::btnSBClick(TObject& sender) {
  auto& button = dynamic_cast<TSpeedButton&>(sender);
  button.SetDown(!button.Down());
}

// A grid is one unbroken run of the form's components whose names start with its prefix.
std::vector<TSpeedButton*> TfrmOption::GridButtons(std::string_view prefix) const {
  std::vector<TSpeedButton*> buttons;
  for (TComponent* component : Components()) {
    const std::string& name = component->Name();
    const bool matches = name.size() >= prefix.size() &&
                         SameTextAscii(std::string_view(name).substr(0, prefix.size()), prefix);
    if (!matches && !buttons.empty()) break;
    auto* button = dynamic_cast<TSpeedButton*>(component);
    if (matches && button != nullptr) buttons.push_back(button);
  }
  return buttons;
}

std::string TfrmOption::GetPressedList(std::string_view prefix) const {
  std::string list;
  int first = -1;
  int last = -1;
  const auto closeRun = [&] {
    if (first < 0) return;
    if (!list.empty()) list += ",";
    list += RunText(first, last);
    first = -1;
  };
  for (const TSpeedButton* button : GridButtons(prefix)) {
    if (!button->Down()) {
      closeRun();
      continue;
    }
    if (first < 0) first = ButtonValue(*button);
    last = ButtonValue(*button);
  }
  closeRun();
  return list;
}

void TfrmOption::SetPressedList(std::string_view list, std::string_view prefix) {
  std::vector<std::string> values;
  ExpandNumberList(list, values);
  for (TSpeedButton* button : GridButtons(prefix)) {
    const std::string value = std::to_string(ButtonValue(*button));
    button->SetDown(std::find(values.begin(), values.end(), value) != values.end());
  }
}

}  // namespace chronel
