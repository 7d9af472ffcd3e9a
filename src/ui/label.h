// A static text on a form.
#pragma once

#include <string>

#include "core/control.h"
#include "ui/align.h"

namespace chronel {

// Not thread-safe, like every control: used on the thread of its form.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner) : TControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
  TAlign align_ = TAlign::alNone;
};

}  // namespace chronel
