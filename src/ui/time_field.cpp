#include "ui/time_field.h"

#include "core/published_properties.h"

namespace chronel {
namespace {

int Wrapped(int value, int range) { return ((value % range) + range) % range; }

}  // namespace

const TClassInfo& TTimeField::StaticClassInfo() {
  static const TClassInfo info("TTimeField", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Hour", &TTimeField::hour_),
                                   Published("Minute", &TTimeField::minute_),
                               },
                               {}, ComponentFactory<TTimeField>);
  return info;
}

void TTimeField::SetTime(int hour, int minute) {
  hour_ = Wrapped(hour, 24);
  minute_ = Wrapped(minute, 60);
  ViewChanged();
}

}  // namespace chronel
