// Data modules: non-visual containers loaded from a declaration (form_declaration.h) that own
// the components declared on them. The plug-in's instances are data modules.
#pragma once

#include "core/component.h"
#include "core/event.h"

namespace chronel {

// A data-module class loads its declaration at the end of its constructor and then calls
// DoCreate (or leaves that to whoever creates it, when more has to happen in between).
class TDataModule : public TComponent {
 public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Runs OnCreate(module), on the thread that created the module.
  void DoCreate() { onCreate_(*this); }

 private:
  TNotifyEvent onCreate_;
};

}  // namespace chronel
