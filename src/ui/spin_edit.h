// A number field with up and down arrows that keeps its value within MinValue ... MaxValue.
#pragma once

#include <cstdint>

#include "core/control.h"

namespace chronel {

// Not thread-safe, like every control.
class TSpinEdit : public TWinControl {
 public:
  explicit TSpinEdit(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int32_t Value() const { return value_; }
  // Clamped to the range.
  void SetValue(int32_t value);

 protected:
  void Loaded() override { SetValue(value_); }

 private:
  int32_t minValue_ = 0;
  int32_t maxValue_ = 0;
  int32_t value_ = 0;
};

}  // namespace chronel
