// A one-line text field.
#pragma once

#include <string>

#include "core/control.h"

namespace chronel {

// Not thread-safe, like every control.
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Text() const { return text_; }
  void SetText(std::string text);

 private:
  std::string text_;
};

}  // namespace chronel
