#include "ui/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>

#include "core/class_info.h"
#include "core/form.h"
#include "core/property.h"
#include "core/utf.h"
#include "platform/win32/window_class.h"
#include "ui/action_list.h"
#include "ui/align.h"
#include "ui/button.h"
#include "ui/html_help.h"
#include "ui/win32/control_windows.h"

namespace chronel::win32ui {
namespace {

constexpr const wchar_t* kFormClass = L"ChronelForm";
// The system's help viewer: asked for a topic by its number.
constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT

int32_t PublishedInteger(const TObject& object, std::string_view name) {
  const TPropertyInfo* property = object.ClassInfo().FindProperty(name);
  return property == nullptr ? 0 : static_cast<int32_t>(property->GetOrdinal(object));
}

std::wstring Wide(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return {wide.begin(), wide.end()};
}

UINT FindControlMessage() {
  static const UINT message = RegisterWindowMessageW(kFindControlMessage);
  return message;
}

void RegisterFormClass() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS |
                                                      ICC_DATE_CLASSES | ICC_UPDOWN_CLASS |
                                                      ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;  // each window switches to its own at creation
  windowClass.hInstance = platform::win32::OwnModule();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFormClass;
  RegisterClassExW(&windowClass);  // a second form finds it registered
}

// The help context of the control or of the nearest windowed control around it.
int32_t HelpContextOf(const TControl* control) {
  for (; control != nullptr; control = control->Parent()) {
    if (const auto* windowed = dynamic_cast<const TWinControl*>(control);
        windowed != nullptr && windowed->HelpContext() != 0) {
      return windowed->HelpContext();
    }
  }
  return 0;
}

}  // namespace

TFormWindow::TFormWindow(TForm& form, HWND owner) : form_(form), owner_(owner) {
  RegisterFormClass();
  // System menu and context help only: no minimise or maximise box beside the help button.
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT,
                            kFormClass, Wide(form.Caption()).c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                            form.Left(), form.Top(), form.Width(), form.Height(), owner_, nullptr,
                            platform::win32::OwnModule(), nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  controls_ = std::make_unique<TControlWindows>(form, window_);
  LayOut();
  InputHandled();
}

TFormWindow::~TFormWindow() {
  controls_.reset();
  if (window_ != nullptr) DestroyWindow(window_);
}

int32_t TFormWindow::ShowModal() {
  if (window_ == nullptr) return mrCancel;
  KeepOnScreen();
  const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
  if (ownerWasEnabled) EnableWindow(owner_, FALSE);
  ShowWindow(window_, SW_SHOW);
  if (const TWinControl* active = form_.ActiveControl()) SetFocus(controls_->Find(active->Name()));
  MSG message;
  while (form_.ModalResult() == mrNone) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The program is quitting: leave as Cancel and let the loop above see the quit.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      Cancel();
      break;
    }
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // Enabled before the window goes, so the system gives the focus back to the owner.
  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  ShowWindow(window_, SW_HIDE);
  return form_.ModalResult();
}

LRESULT CALLBACK TFormWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TFormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->controls_ == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT TFormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == FindControlMessage()) {
    return reinterpret_cast<LRESULT>(controls_->Find(reinterpret_cast<const char*>(lparam)));
  }
  switch (message) {
    case WM_COMMAND:
      // Esc arrives as IDCANCEL from no window at all.
      if (LOWORD(wparam) == IDCANCEL && lparam == 0) {
        Cancel();
      } else if (!controls_->Command(wparam, lparam)) {
        break;
      }
      InputHandled();
      return 0;
    case WM_NOTIFY:
      if (!controls_->Notify(*reinterpret_cast<const NMHDR*>(lparam))) break;
      InputHandled();
      return 0;
    case WM_DRAWITEM:
      if (!controls_->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) break;
      return TRUE;
    case DM_GETDEFID: {
      // Enter presses the default button.
      const TButton* button = controls_->DefaultButton();
      HWND defaultWindow = button == nullptr ? nullptr : controls_->Find(button->Name());
      if (defaultWindow == nullptr) break;
      return MAKELRESULT(GetDlgCtrlID(defaultWindow), DC_HASDEFID);
    }
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_MOVE:
      StoreBounds();
      return 0;
    case WM_GETMINMAXINFO: {
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lparam);
      limits.ptMinTrackSize = {PublishedInteger(form_, "MinWidth"), PublishedInteger(form_, "MinHeight")};
      return 0;
    }
    case WM_CLOSE:
      Cancel();
      return 0;
    case WM_HELP:
      ShowHelp(*reinterpret_cast<const HELPINFO*>(lparam));
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

// A place stored on another screen, or centred over an owner window that lies off the screen,
// would leave the dialog where the user cannot reach it: it moves into the nearest work area.
void TFormWindow::KeepOnScreen() {
  RECT outer;
  GetWindowRect(window_, &outer);
  MONITORINFO monitor{sizeof(monitor)};
  if (!GetMonitorInfoW(MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& area = monitor.rcWork;
  const LONG left = std::max(area.left, std::min(outer.left, area.right - (outer.right - outer.left)));
  const LONG top = std::max(area.top, std::min(outer.top, area.bottom - (outer.bottom - outer.top)));
  if (left == outer.left && top == outer.top) return;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The model keeps the window's place and size, which OK and Cancel store.
void TFormWindow::StoreBounds() {
  RECT outer;
  if (!GetWindowRect(window_, &outer)) return;
  form_.SetBounds(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
}

void TFormWindow::LayOut() {
  StoreBounds();
  RECT client;
  GetClientRect(window_, &client);
  AlignControls(form_, client.right, client.bottom, PublishedInteger(form_, "BorderWidth"));
}

void TFormWindow::Cancel() {
  if (form_.ModalResult() != mrNone) return;  // closing already
  if (TButton* cancel = controls_->CancelButton()) {
    cancel->Click();
    return;
  }
  form_.SetModalResult(mrCancel);
  form_.Close();
}

void TFormWindow::InputHandled() {
  // A click that closed the form may have come as a sent message, which does not end the
  // wait for the next posted one: wake the modal loop so it sees the result.
  if (form_.ModalResult() != mrNone) {
    PostMessageW(window_, WM_NULL, 0, 0);
    return;
  }
  for (TComponent* component : form_.Components()) {
    if (auto* actions = dynamic_cast<TActionList*>(component)) actions->UpdateActions();
  }
  controls_->RedrawActionButtons();
  // A page that changed height moves the boxes below it.
  LayOut();
}

// Help opens the form's help file at the topic of the control asked about, through the
// system's help viewer; without the viewer or the file nothing happens.
void TFormWindow::ShowHelp(const HELPINFO& info) {
  const int32_t context = HelpContextOf(controls_->ControlOf(static_cast<HWND>(info.hItemHandle)));
  std::string file;
  for (TComponent* component : form_.Components()) {
    if (auto* help = dynamic_cast<THtmlHelp*>(component)) file = help->HelpFile();
  }
  std::error_code error;
  if (file.empty() || !std::filesystem::exists(std::filesystem::path(Utf8ToUtf16(file)), error)) return;
  HMODULE viewer = LoadLibraryW(L"hhctrl.ocx");
  if (viewer == nullptr) return;
  using THtmlHelpW = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
  if (auto show = reinterpret_cast<THtmlHelpW>(GetProcAddress(viewer, "HtmlHelpW"))) {
    show(window_, Wide(file).c_str(), kHelpContext, static_cast<DWORD_PTR>(context != 0 ? context : HelpContextOf(&form_)));
  }
}

}  // namespace chronel::win32ui
