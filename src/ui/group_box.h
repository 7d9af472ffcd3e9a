// A captioned frame around related controls.
#pragma once

#include <string>

#include "core/control.h"
#include "ui/align.h"

namespace chronel {

// Not thread-safe, like every control.
class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }

 private:
  TAlign align_ = TAlign::alNone;
  std::string caption_;
};

}  // namespace chronel
