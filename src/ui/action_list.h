// Actions: commands with a caption, an enabled state and two handlers, OnExecute to carry the
// command out and OnUpdate to decide whether it is available now. Buttons that show an action
// take its caption and enabled state and execute it when clicked. An action list holds the
// actions of a form and asks each to update itself when the form is idle.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/component.h"
#include "core/event.h"

namespace chronel {

class TActionList;

// Not thread-safe: used on the thread of its form. The sender of both handlers is the action.
class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner) : TComponent(owner) {}
  ~TAction() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  // Runs OnExecute when the action is enabled; answers whether it ran.
  bool Execute();
  // Runs OnUpdate, which sets Enabled; an action without one keeps its state.
  void Update() { onUpdate_(*this); }

  bool HasParent() const override { return true; }
  // An action sits in an action list.
  void SetParentComponent(TComponent& parent) override;

 private:
  friend class TActionList;

  std::string caption_;
  std::string hint_;
  int32_t imageIndex_ = -1;
  bool enabled_ = true;
  TNotifyEvent onExecute_;
  TNotifyEvent onUpdate_;
  TActionList* list_ = nullptr;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::span<TAction* const> Actions() const { return actions_; }
  // What an idle form does: every action decides whether it is available.
  void UpdateActions();

 private:
  friend class TAction;

  std::vector<TAction*> actions_;
};

}  // namespace chronel
