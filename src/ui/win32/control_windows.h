// The child windows of a form window: one per control of the model (a spin edit has its arrows
// beside it), created inside the window of the control's parent, redrawn from the control when
// the model announces a change, and turning the notifications they send into the model's input
// calls.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/windows_api.h"

namespace chronel {

class TButton;
class TControl;
class TForm;

namespace win32ui {

class TActionIcons;

class TControlWindows {
 public:
  // Creates the windows of every control of `form` inside `formWindow`.
  TControlWindows(TForm& form, HWND formWindow);
  // The windows go with the form window; the model stops announcing changes to them here.
  ~TControlWindows();
  TControlWindows(const TControlWindows&) = delete;
  TControlWindows& operator=(const TControlWindows&) = delete;

  // The window of the control of that name; null when there is none.
  HWND Find(std::string_view name) const;
  TControl* ControlOf(HWND window) const;
  // The buttons Enter and Esc press; null when the form has none.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  // A child's WM_COMMAND, WM_NOTIFY and WM_DRAWITEM; false when the message was not ours.
  bool Command(WPARAM wparam, LPARAM lparam);
  bool Notify(const NMHDR& header);
  bool DrawItem(const DRAWITEMSTRUCT& item);
  // Redraws the buttons that show an action, after the actions decided their state.
  void RedrawActionButtons();

 private:
  struct TEntry;

  void CreateAll(TControl& control, HWND parent);
  void CreateWindowOf(TEntry& entry, HWND parent);
  TEntry* EntryOf(const TControl& control);
  TEntry* EntryOf(HWND window);
  void Redraw(TEntry& entry);
  void RedrawContent(TEntry& entry);
  void RedrawListRows(TEntry& entry);
  void RedrawComboItems(TEntry& entry);
  bool ComboNotification(TEntry& entry, int code);

  TForm& form_;
  HWND formWindow_;
  HFONT font_ = nullptr;
  std::unique_ptr<TActionIcons> icons_;
  std::vector<std::unique_ptr<TEntry>> entries_;
  // Set while the view writes into a window, so the notifications that writing causes are not
  // taken for the user's input.
  bool redrawing_ = false;
};

}  // namespace win32ui
}  // namespace chronel
