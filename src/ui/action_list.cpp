#include "ui/action_list.h"

#include <algorithm>

#include "core/published_properties.h"

namespace chronel {

TAction::~TAction() {
  if (list_ != nullptr) std::erase(list_->actions_, this);
}

const TClassInfo& TAction::StaticClassInfo() {
  static const TClassInfo info("TAction", &TComponent::StaticClassInfo(),
                               {
                                   Published("Caption", &TAction::caption_),
                                   Published("Hint", &TAction::hint_),
                                   Published("ImageIndex", &TAction::imageIndex_),
                                   Published("Enabled", &TAction::enabled_),
                                   Published("OnExecute", &TAction::onExecute_),
                                   Published("OnUpdate", &TAction::onUpdate_),
                               },
                               {}, ComponentFactory<TAction>);
  return info;
}

bool TAction::Execute() {
  if (!enabled_) return false;
  onExecute_(*this);
  return true;
}

void TAction::SetParentComponent(TComponent& parent) {
  auto* list = dynamic_cast<TActionList*>(&parent);
  if (list == nullptr) throw EComponentError("Action " + Name() + " belongs in an action list");
  if (list_ != nullptr) std::erase(list_->actions_, this);
  list_ = list;
  list->actions_.push_back(this);
}

TActionList::~TActionList() {
  for (TAction* action : actions_) action->list_ = nullptr;
}

const TClassInfo& TActionList::StaticClassInfo() {
  static const TClassInfo info("TActionList", &TComponent::StaticClassInfo(), {}, {},
                               ComponentFactory<TActionList>);
  return info;
}

void TActionList::UpdateActions() {
  for (TAction* action : actions_) action->Update();
}

}  // namespace chronel
