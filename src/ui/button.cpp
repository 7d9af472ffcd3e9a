#include "ui/button.h"

#include "core/form.h"
#include "core/published_properties.h"

namespace chronel {
namespace {

TForm* FormOf(TControl& control) {
  for (TControl* above = &control; above != nullptr; above = above->Parent()) {
    if (auto* form = dynamic_cast<TForm*>(above)) return form;
  }
  return dynamic_cast<TForm*>(control.Owner());
}

}  // namespace

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo info("TButton", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TButton::caption_),
                                   Published("Action", &TButton::action_),
                                   Published("ModalResult", &TButton::modalResult_),
                                   Published("Default", &TButton::default_),
                                   Published("Cancel", &TButton::cancel_),
                                   Published("OnClick", &TButton::onClick_),
                               },
                               {}, ComponentFactory<TButton>);
  return info;
}

const std::string& TButton::Caption() const {
  return action_ ? action_->Caption() : caption_;
}

bool TButton::Press() {
  if (TAction* action = action_.Get()) return action->Execute();
  if (!Enabled()) return false;
  onClick_(*this);
  return true;
}

void TButton::Click() {
  if (!Press() || modalResult_ == 0) return;
  TForm* form = FormOf(*this);
  if (form == nullptr) return;
  form->SetModalResult(modalResult_);
  form->Close();
}

}  // namespace chronel
