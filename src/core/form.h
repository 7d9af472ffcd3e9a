// Forms: windowed components loaded from a declaration (form_declaration.h) that own every
// component on them. The options dialog is one.
#pragma once

#include <string>
#include <utility>

#include "core/control.h"
#include "core/event.h"

namespace chronel {

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

  // Runs OnCreate(form), on the thread that created the form.
  void DoCreate() { onCreate_(*this); }

 private:
  std::string caption_;
  TNotifyEvent onCreate_;
};

}  // namespace chronel
