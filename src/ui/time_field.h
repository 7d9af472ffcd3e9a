// A field holding a time of day in hours and minutes.
#pragma once

#include <cstdint>

#include "core/control.h"

namespace chronel {

// Not thread-safe, like every control.
class TTimeField : public TWinControl {
 public:
  explicit TTimeField(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Hour() const { return hour_; }
  int Minute() const { return minute_; }
  // Each part is taken modulo its range (hours 0-23, minutes 0-59), as a time of day wraps.
  void SetTime(int hour, int minute);

 private:
  int32_t hour_ = 0;
  int32_t minute_ = 0;
};

}  // namespace chronel
