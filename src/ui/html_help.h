// The help component of a form: the compiled help file that its help requests open.
#pragma once

#include <string>

#include "core/component.h"

namespace chronel {

// Not thread-safe, like every component.
class THtmlHelp : public TComponent {
 public:
  explicit THtmlHelp(TComponent* owner) : TComponent(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(std::string file) { helpFile_ = std::move(file); }

 private:
  std::string helpFile_;
};

}  // namespace chronel
