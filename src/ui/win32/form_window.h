// The real window of a form model: a top-level window with one child window per control,
// created from the model's controls, redrawn when the model announces a change and feeding the
// user's input back to the model as its Click, Choose, Select and Set calls. The model stays the
// only keeper of state; the window is a picture of it that takes input.
//
// Threads: created, shown and destroyed on one thread, which pumps its messages while the form
// is shown modally.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace chronel {

class TControl;
class TForm;

namespace win32ui {

class TControlWindows;

// Answered by the form window for the window of the control named by lParam (a UTF-8 C string
// in this process): how a test host in the process finds the control a user would click.
inline constexpr const wchar_t* kFindControlMessage = L"Chronel.FindControl";

class TFormWindow {
 public:
  // Creates the windows of `form` (hidden) over `owner`, which may be null.
  TFormWindow(TForm& form, HWND owner);
  ~TFormWindow();
  TFormWindow(const TFormWindow&) = delete;
  TFormWindow& operator=(const TFormWindow&) = delete;

  HWND Handle() const { return window_; }

  // Shows the window with its owner disabled and pumps messages until the form has a modal
  // result; the owner is enabled again before the window goes. Answers the modal result.
  int32_t ShowModal();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void LayOut();
  void StoreBounds();
  void KeepOnScreen();
  void Cancel();
  void ShowHelp(const HELPINFO& info);
  // After every input, as an idle form does: actions decide whether they are available.
  void InputHandled();

  TForm& form_;
  HWND owner_;
  HWND window_ = nullptr;
  std::unique_ptr<TControlWindows> controls_;
};

}  // namespace win32ui
}  // namespace chronel
