// The application object: the owner of the application's forms, searched by name when a
// stored property path or component reference starts at a form ("frmOption.lstTasks.Strings",
// "Application.frmOption.btnOK").
#pragma once

#include "core/component.h"

namespace chronel {

class TForm;

class TApplication : public TComponent {
 public:
  TApplication() : TComponent(nullptr) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The first form it owns; null when it owns none. Its forms and data modules are found by
  // name with FindComponent.
  TForm* MainForm() const;
};

// The process's one application object, made on first use. Like every component it is not
// locked: forms are added and removed by one thread at a time.
TApplication& Application();

}  // namespace chronel
