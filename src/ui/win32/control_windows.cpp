#include "ui/win32/control_windows.h"

#include <commctrl.h>

#include <string>

#include "core/class_info.h"
#include "core/form.h"
#include "core/numbers.h"
#include "core/property.h"
#include "core/utf.h"
#include "platform/win32/window_class.h"
#include "ui/action_list.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/group_box.h"
#include "ui/hot_key_field.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/radio_button.h"
#include "ui/speed_button.h"
#include "ui/spin_edit.h"
#include "ui/time_field.h"
#include "ui/win32/action_icons.h"

namespace chronel::win32ui {
namespace {

constexpr int kFirstControlId = 100;
// A drop-down combo's window includes its open list.
constexpr int kDropDownHeight = 200;
constexpr int kUpDownWidth = 16;
constexpr const wchar_t* kContainerClass = L"ChronelContainer";
constexpr const wchar_t* kFontProperty = L"ChronelFont";

std::wstring Wide(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(length));
  return Utf16ToUtf8(text);
}

void SetText(HWND window, std::string_view text) {
  if (WindowText(window) != text) SetWindowTextW(window, Wide(text).c_str());
}

// Image numbers and ranges are published by the classes that have them.
int64_t PublishedNumber(const TObject& object, std::string_view name, int64_t otherwise) {
  const TPropertyInfo* property = object.ClassInfo().FindProperty(name);
  return property == nullptr ? otherwise : property->GetOrdinal(object);
}

// Shortcut codes keep the modifiers in the high bits (0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt);
// the hotkey control keeps HOTKEYF_* in its high byte.
WORD ToHotKeyControl(platform::TShortCut shortCut) {
  BYTE modifiers = 0;
  if (shortCut & platform::scShift) modifiers |= HOTKEYF_SHIFT;
  if (shortCut & platform::scCtrl) modifiers |= HOTKEYF_CONTROL;
  if (shortCut & platform::scAlt) modifiers |= HOTKEYF_ALT;
  return MAKEWORD(LOBYTE(shortCut), modifiers);
}
platform::TShortCut FromHotKeyControl(WORD value) {
  platform::TShortCut shortCut = LOBYTE(value);
  if (HIBYTE(value) & HOTKEYF_SHIFT) shortCut |= platform::scShift;
  if (HIBYTE(value) & HOTKEYF_CONTROL) shortCut |= platform::scCtrl;
  if (HIBYTE(value) & HOTKEYF_ALT) shortCut |= platform::scAlt;
  return shortCut;
}

// Panels, group boxes and pages hold other controls. Their children's notifications go to the
// form window, which knows the model; a group box draws its frame and caption itself.
LRESULT CALLBACK ContainerProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageW(GetAncestor(window, GA_ROOT), message, wparam, lparam);
    // A plain window keeps no font; a group box draws its caption in the form's.
    case WM_SETFONT:
      SetPropW(window, kFontProperty, reinterpret_cast<HANDLE>(wparam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(window, kFontProperty));
    case WM_NCDESTROY:
      RemovePropW(window, kFontProperty);
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      const auto* control = reinterpret_cast<const TControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      RECT client;
      GetClientRect(window, &client);
      if (const auto* box = dynamic_cast<const TGroupBox*>(control)) {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        RECT frame = client;
        frame.top += metrics.tmHeight / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        const std::wstring caption = Wide(box->Caption());
        if (!caption.empty()) {
          SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
          SetBkMode(dc, OPAQUE);
          TextOutW(dc, 8, 0, (L" " + caption + L" ").c_str(), static_cast<int>(caption.size() + 2));
        }
        SelectObject(dc, old);
      } else if (const auto* panel = dynamic_cast<const TPanel*>(control);
                 panel != nullptr && panel->TopSeparator()) {
        RECT line{client.left, client.top, client.right, client.top + 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      }
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

void RegisterContainerClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ContainerProcedure;
  windowClass.hInstance = platform::win32::OwnModule();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kContainerClass;
  RegisterClassExW(&windowClass);  // a second form finds it registered
}

struct TWindowKind {
  const wchar_t* Class;
  DWORD Style;
  DWORD ExStyle;
};

TWindowKind KindOf(const TControl& control) {
  constexpr DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  if (const auto* combo = dynamic_cast<const TComboBox*>(&control)) {
    switch (combo->Style()) {
      case TComboBoxStyle::csDropDownList:
        return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
      case TComboBoxStyle::csDropDown:
        return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
      case TComboBoxStyle::csSimple:
        return {WC_EDITW, child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    }
  }
  if (dynamic_cast<const TButton*>(&control) != nullptr) {
    // Buttons of an action draw its picture beside the caption.
    const bool pictured = static_cast<const TButton&>(control).Action() != nullptr;
    return {WC_BUTTONW, child | WS_TABSTOP | (pictured ? BS_OWNERDRAW : BS_PUSHBUTTON), 0};
  }
  if (dynamic_cast<const TCheckBox*>(&control) != nullptr) {
    return {WC_BUTTONW, child | WS_TABSTOP | BS_CHECKBOX, 0};
  }
  if (dynamic_cast<const TRadioButton*>(&control) != nullptr) {
    return {WC_BUTTONW, child | WS_TABSTOP | BS_RADIOBUTTON, 0};
  }
  if (dynamic_cast<const TSpeedButton*>(&control) != nullptr) {
    return {WC_BUTTONW, child | BS_CHECKBOX | BS_PUSHLIKE, 0};
  }
  if (dynamic_cast<const TLabel*>(&control) != nullptr) return {WC_STATICW, child | SS_LEFT, 0};
  if (dynamic_cast<const TEdit*>(&control) != nullptr || dynamic_cast<const TSpinEdit*>(&control) != nullptr) {
    const DWORD number = dynamic_cast<const TSpinEdit*>(&control) != nullptr ? ES_NUMBER : 0;
    return {WC_EDITW, child | WS_TABSTOP | ES_AUTOHSCROLL | number, WS_EX_CLIENTEDGE};
  }
  if (dynamic_cast<const THotKey*>(&control) != nullptr) {
    return {HOTKEY_CLASSW, child | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  if (dynamic_cast<const TTimeField*>(&control) != nullptr) {
    return {DATETIMEPICK_CLASSW, child | WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, 0};
  }
  if (dynamic_cast<const TListView*>(&control) != nullptr) {
    return {WC_LISTVIEWW,
            child | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
            WS_EX_CLIENTEDGE};
  }
  return {kContainerClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

int WindowHeight(const TControl& control) {
  const auto* combo = dynamic_cast<const TComboBox*>(&control);
  const bool dropsDown = combo != nullptr && combo->Style() != TComboBoxStyle::csSimple;
  return control.Height() + (dropsDown ? kDropDownHeight : 0);
}

int WindowWidth(const TControl& control) {
  return control.Width() - (dynamic_cast<const TSpinEdit*>(&control) != nullptr ? kUpDownWidth : 0);
}

}  // namespace

struct TControlWindows::TEntry {
  TControl* Control = nullptr;
  HWND Window = nullptr;
  HWND Arrows = nullptr;  // a spin edit's up-down buddy
  int Id = 0;
  TComboBoxStyle ComboStyle = TComboBoxStyle::csDropDown;
  // What the window shows, so a redraw only rewrites what changed.
  std::vector<std::string> Items;
  std::vector<TListRow> Rows;
};

TControlWindows::TControlWindows(TForm& form, HWND formWindow)
    : form_(form), formWindow_(formWindow), icons_(std::make_unique<TActionIcons>()) {
  RegisterContainerClass();
  const TFont& font = form.Font();
  font_ = CreateFontW(font.Height(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, font.Charset(),
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, Wide(font.Name()).c_str());
  SendMessageW(formWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (TControl* child : form.Controls()) CreateAll(*child, formWindow_);
  for (auto& entry : entries_) Redraw(*entry);
}

TControlWindows::~TControlWindows() {
  for (auto& entry : entries_) entry->Control->SetOnViewChange(nullptr);
  DeleteObject(font_);
}

void TControlWindows::CreateAll(TControl& control, HWND parent) {
  auto entry = std::make_unique<TEntry>();
  entry->Control = &control;
  entry->Id = kFirstControlId + static_cast<int>(entries_.size());
  CreateWindowOf(*entry, parent);
  control.SetOnViewChange([this](TControl& changed) {
    if (TEntry* changedEntry = EntryOf(changed)) Redraw(*changedEntry);
  });
  TEntry& created = *entries_.emplace_back(std::move(entry));
  if (const auto* windowed = dynamic_cast<const TWinControl*>(&control)) {
    for (TControl* child : windowed->Controls()) CreateAll(*child, created.Window);
  }
}

void TControlWindows::CreateWindowOf(TEntry& entry, HWND parent) {
  TControl& control = *entry.Control;
  const TWindowKind kind = KindOf(control);
  entry.Window = CreateWindowExW(kind.ExStyle, kind.Class, L"", kind.Style, control.Left(),
                                 control.Top(), WindowWidth(control), WindowHeight(control), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.Id)),
                                 platform::win32::OwnModule(), nullptr);
  SetWindowLongPtrW(entry.Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
  SendMessageW(entry.Window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
    entry.ComboStyle = combo->Style();
    entry.Items.clear();
  }
  if (dynamic_cast<const TSpinEdit*>(&control) != nullptr) {
    entry.Arrows = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                   WS_CHILD | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS |
                                       UDS_NOTHOUSANDS,
                                   0, 0, 0, 0, parent, nullptr, platform::win32::OwnModule(), nullptr);
    SendMessageW(entry.Arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(entry.Window), 0);
  }
  if (dynamic_cast<const THotKey*>(&control) != nullptr) {
    // A key without a modifier gets all three, as the model does.
    SendMessageW(entry.Window, HKM_SETRULES, HKCOMB_NONE,
                 MAKELPARAM(HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  }
  if (dynamic_cast<const TTimeField*>(&control) != nullptr) {
    SendMessageW(entry.Window, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
  }
  if (auto* list = dynamic_cast<TListView*>(&control)) {
    ListView_SetExtendedListViewStyle(entry.Window, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < list->Columns().Count(); ++i) {
      const auto& column = static_cast<const TListColumn&>(list->Columns().Item(i));
      std::wstring caption = Wide(column.Caption());
      LVCOLUMNW header{};
      header.mask = LVCF_TEXT | LVCF_WIDTH;
      header.pszText = caption.data();
      header.cx = column.Width();
      ListView_InsertColumn(entry.Window, i, &header);
    }
  }
}

TControlWindows::TEntry* TControlWindows::EntryOf(const TControl& control) {
  for (auto& entry : entries_) {
    if (entry->Control == &control) return entry.get();
  }
  return nullptr;
}

TControlWindows::TEntry* TControlWindows::EntryOf(HWND window) {
  for (auto& entry : entries_) {
    if (entry->Window == window) return entry.get();
  }
  return nullptr;
}

HWND TControlWindows::Find(std::string_view name) const {
  for (const auto& entry : entries_) {
    if (entry->Control->Name() == name) return entry->Window;
  }
  return nullptr;
}

TControl* TControlWindows::ControlOf(HWND window) const {
  for (const auto& entry : entries_) {
    if (entry->Window == window) return entry->Control;
  }
  return nullptr;
}

TButton* TControlWindows::DefaultButton() const {
  for (const auto& entry : entries_) {
    auto* button = dynamic_cast<TButton*>(entry->Control);
    if (button != nullptr && button->IsDefault()) return button;
  }
  return nullptr;
}

TButton* TControlWindows::CancelButton() const {
  for (const auto& entry : entries_) {
    auto* button = dynamic_cast<TButton*>(entry->Control);
    if (button != nullptr && button->IsCancel()) return button;
  }
  return nullptr;
}

// --- from the model to the windows

void TControlWindows::Redraw(TEntry& entry) {
  const bool wasRedrawing = redrawing_;
  redrawing_ = true;
  TControl& control = *entry.Control;
  if (auto* combo = dynamic_cast<TComboBox*>(&control); combo != nullptr && combo->Style() != entry.ComboStyle) {
    // The kind of window follows the style: recreate it in the same place among its siblings.
    HWND old = entry.Window;
    HWND before = GetWindow(old, GW_HWNDPREV);
    CreateWindowOf(entry, GetParent(old));
    SetWindowPos(entry.Window, before == nullptr ? HWND_TOP : before, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
  }
  MoveWindow(entry.Window, control.Left(), control.Top(), WindowWidth(control), WindowHeight(control),
             TRUE);
  const auto* page = dynamic_cast<const TTabSheet*>(&control);
  const bool pageShown = page == nullptr || [&] {
    const auto* pages = dynamic_cast<const TPageControl*>(page->Parent());
    return pages != nullptr && pages->ActivePage() == page;
  }();
  ShowWindow(entry.Window, control.Visible() && pageShown ? SW_SHOWNA : SW_HIDE);
  const auto* button = dynamic_cast<const TButton*>(&control);
  const bool enabled = button != nullptr && button->Action() != nullptr ? button->Action()->Enabled()
                                                                        : control.Enabled();
  EnableWindow(entry.Window, enabled);
  if (entry.Arrows != nullptr) {
    SendMessageW(entry.Arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(entry.Window), 0);
    ShowWindow(entry.Arrows, control.Visible() ? SW_SHOWNA : SW_HIDE);
    EnableWindow(entry.Arrows, enabled);
  }
  RedrawContent(entry);
  redrawing_ = wasRedrawing;
}

void TControlWindows::RedrawContent(TEntry& entry) {
  TControl& control = *entry.Control;
  HWND window = entry.Window;
  if (auto* pages = dynamic_cast<TPageControl*>(&control)) {
    // Which page shows is each page's business.
    for (TTabSheet* page : pages->Pages()) {
      if (TEntry* pageEntry = EntryOf(*page)) Redraw(*pageEntry);
    }
  } else if (auto* button = dynamic_cast<TButton*>(&control)) {
    SetText(window, button->Caption());
    InvalidateRect(window, nullptr, FALSE);
  } else if (auto* choice = dynamic_cast<TButtonControl*>(&control)) {
    SetText(window, choice->Caption());
    SendMessageW(window, BM_SETCHECK, choice->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (auto* day = dynamic_cast<TSpeedButton*>(&control)) {
    SetText(window, day->Caption());
    SendMessageW(window, BM_SETCHECK, day->Down() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (auto* label = dynamic_cast<TLabel*>(&control)) {
    SetText(window, label->Caption());
  } else if (dynamic_cast<TGroupBox*>(&control) != nullptr) {
    InvalidateRect(window, nullptr, TRUE);
  } else if (auto* edit = dynamic_cast<TEdit*>(&control)) {
    SetText(window, edit->Text());
  } else if (auto* spin = dynamic_cast<TSpinEdit*>(&control)) {
    SendMessageW(entry.Arrows, UDM_SETRANGE32, PublishedNumber(control, "MinValue", 0),
                 PublishedNumber(control, "MaxValue", 0));
    SetText(window, std::to_string(spin->Value()));
  } else if (auto* hotKey = dynamic_cast<THotKey*>(&control)) {
    if (FromHotKeyControl(LOWORD(SendMessageW(window, HKM_GETHOTKEY, 0, 0))) != hotKey->HotKey()) {
      SendMessageW(window, HKM_SETHOTKEY, ToHotKeyControl(hotKey->HotKey()), 0);
    }
  } else if (auto* time = dynamic_cast<TTimeField*>(&control)) {
    SYSTEMTIME value;
    GetLocalTime(&value);
    value.wHour = static_cast<WORD>(time->Hour());
    value.wMinute = static_cast<WORD>(time->Minute());
    value.wSecond = 0;
    value.wMilliseconds = 0;
    SendMessageW(window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
  } else if (dynamic_cast<TComboBox*>(&control) != nullptr) {
    RedrawComboItems(entry);
  } else if (dynamic_cast<TListView*>(&control) != nullptr) {
    RedrawListRows(entry);
  }
}

void TControlWindows::RedrawComboItems(TEntry& entry) {
  auto& combo = static_cast<TComboBox&>(*entry.Control);
  HWND window = entry.Window;
  if (combo.Style() == TComboBoxStyle::csSimple) {
    SetText(window, combo.Text());
    return;
  }
  if (entry.Items != combo.Items().Lines()) {
    SendMessageW(window, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo.Items().Lines()) {
      SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    entry.Items = combo.Items().Lines();
  }
  if (SendMessageW(window, CB_GETCURSEL, 0, 0) != combo.ItemIndex()) {
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
  }
  if (combo.ItemIndex() < 0 && combo.Style() == TComboBoxStyle::csDropDown) SetText(window, combo.Text());
}

void TControlWindows::RedrawListRows(TEntry& entry) {
  auto& list = static_cast<TListView&>(*entry.Control);
  HWND window = entry.Window;
  if (entry.Rows != list.Rows()) {
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(window);
    for (int i = 0; i < list.Count(); ++i) {
      const TListRow& row = list.Row(i);
      std::wstring caption = Wide(row.Caption);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = caption.data();
      ListView_InsertItem(window, &item);
      for (size_t column = 0; column < row.SubItems.size(); ++column) {
        std::wstring text = Wide(row.SubItems[column]);
        ListView_SetItemText(window, i, static_cast<int>(column + 1), text.data());
      }
    }
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    entry.Rows = list.Rows();
  }
  // The last column takes the width the others leave.
  const int columns = list.Columns().Count();
  if (columns > 0) ListView_SetColumnWidth(window, columns - 1, LVSCW_AUTOSIZE_USEHEADER);
  const int shown = ListView_GetNextItem(window, -1, LVNI_SELECTED);
  if (shown == list.ItemIndex()) return;
  if (shown >= 0) ListView_SetItemState(window, shown, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (list.ItemIndex() >= 0) {
    ListView_SetItemState(window, list.ItemIndex(), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window, list.ItemIndex(), FALSE);
  }
}

void TControlWindows::RedrawActionButtons() {
  for (auto& entry : entries_) {
    const auto* button = dynamic_cast<const TButton*>(entry->Control);
    if (button != nullptr && button->Action() != nullptr) Redraw(*entry);
  }
}

// --- from the windows to the model

bool TControlWindows::Command(WPARAM wparam, LPARAM lparam) {
  TEntry* entry = EntryOf(reinterpret_cast<HWND>(lparam));
  if (entry == nullptr || redrawing_) return entry != nullptr;
  TControl& control = *entry->Control;
  const int code = HIWORD(wparam);
  HWND window = entry->Window;
  if (code == BN_CLICKED) {
    if (auto* button = dynamic_cast<TButton*>(&control)) button->Click();
    if (auto* choice = dynamic_cast<TButtonControl*>(&control)) choice->Click();
    if (auto* day = dynamic_cast<TSpeedButton*>(&control)) day->Click();
    return true;
  }
  if (dynamic_cast<TComboBox*>(&control) != nullptr) return ComboNotification(*entry, code);
  if (code != EN_CHANGE) return true;
  if (auto* edit = dynamic_cast<TEdit*>(&control)) edit->SetText(WindowText(window));
  if (auto* hotKey = dynamic_cast<THotKey*>(&control)) {
    hotKey->SetHotKey(FromHotKeyControl(LOWORD(SendMessageW(window, HKM_GETHOTKEY, 0, 0))));
  }
  if (auto* spin = dynamic_cast<TSpinEdit*>(&control)) {
    // A field emptied while typing, or given pasted text that is not a number, keeps the last
    // value until a number is there.
    if (const std::optional<int32_t> value = TryStrToInt(WindowText(window))) {
      spin->SetValue(*value);
    }
  }
  return true;
}

bool TControlWindows::ComboNotification(TEntry& entry, int code) {
  auto& combo = static_cast<TComboBox&>(*entry.Control);
  if (code == CBN_SELCHANGE) {
    combo.Choose(static_cast<int>(SendMessageW(entry.Window, CB_GETCURSEL, 0, 0)));
  } else if (code == CBN_EDITCHANGE || (code == EN_CHANGE && combo.Style() == TComboBoxStyle::csSimple)) {
    combo.SetText(WindowText(entry.Window));
  }
  return true;
}

bool TControlWindows::Notify(const NMHDR& header) {
  TEntry* entry = EntryOf(header.hwndFrom);
  if (entry == nullptr || redrawing_) return entry != nullptr;
  if (auto* list = dynamic_cast<TListView*>(entry->Control); list != nullptr && header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) == 0) return true;
    // A new selection may be announced before or after the old one is taken away.
    if ((change.uNewState & LVIS_SELECTED) != 0 && change.iItem >= 0) {
      list->Select(change.iItem);
    } else if (change.iItem < 0 || change.iItem == list->ItemIndex()) {
      list->Select(ListView_GetNextItem(entry->Window, -1, LVNI_SELECTED));
    }
    return true;
  }
  if (auto* time = dynamic_cast<TTimeField*>(entry->Control); time != nullptr && header.code == DTN_DATETIMECHANGE) {
    const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
    if (change.dwFlags == GDT_VALID) time->SetTime(change.st.wHour, change.st.wMinute);
    return true;
  }
  return true;
}

// Action buttons: a push button face with the action's picture left of its caption, greyed
// when the action is not available; a button without a caption shows only the picture.
bool TControlWindows::DrawItem(const DRAWITEMSTRUCT& item) {
  const auto* button = dynamic_cast<const TButton*>(ControlOf(item.hwndItem));
  if (button == nullptr || button->Action() == nullptr) return false;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  RECT face = item.rcItem;
  DrawFrameControl(item.hDC, &face, DFC_BUTTON,
                   DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
  const std::wstring caption = Wide(button->Caption());
  HICON icon = icons_->Icon(static_cast<int>(PublishedNumber(*button->Action(), "ImageIndex", -1)), enabled);
  const int iconTop = (face.bottom - face.top - kActionIconSize) / 2;
  const int iconLeft = caption.empty() ? (face.right - face.left - kActionIconSize) / 2 : 6;
  if (icon != nullptr) {
    DrawIconEx(item.hDC, iconLeft, iconTop, icon, kActionIconSize, kActionIconSize, 0, nullptr, DI_NORMAL);
  }
  if (!caption.empty()) {
    RECT text = face;
    text.left += icon != nullptr ? iconLeft + kActionIconSize : 0;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  if (item.itemState & ODS_FOCUS) {
    RECT focus = face;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

}  // namespace chronel::win32ui
