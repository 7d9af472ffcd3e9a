// Forms: windowed components loaded from a declaration (form_declaration.h) that own every
// component on them. The options dialog is one.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

inline constexpr int32_t mrNone = 0;
inline constexpr int32_t mrOk = 1;
inline constexpr int32_t mrCancel = 2;

// A form class loads its declaration at the end of its constructor and then calls DoCreate.
class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner) : TWinControl(owner) {}
  // Frees the components on the form in creation order, while the form is still whole.
  ~TForm() override { DestroyComponents(); }

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Forms stand alone; they are not placed inside other controls.
  bool HasParent() const override { return false; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }

  // The control that has the focus when the form is shown; none by default.
  virtual TWinControl* ActiveControl() const { return nullptr; }

  // Runs OnCreate(form), on the thread that created the form.
  void DoCreate() { onCreate_(*this); }

  // How a modal form was left: a button with a modal result sets it, and the form closes.
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t result) { modalResult_ = result; }
  // Runs OnClose(form) with the modal result already set; the view then takes the window down.
  void Close() { onClose_(*this); }

 private:
  std::string caption_;
  TNotifyEvent onCreate_;
  TNotifyEvent onClose_;
  int32_t modalResult_ = 0;
};

}  // namespace chronel
