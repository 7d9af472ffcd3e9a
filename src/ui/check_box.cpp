#include "ui/check_box.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo info("TCheckBox", &TButtonControl::StaticClassInfo(), {}, {},
                               ComponentFactory<TCheckBox>);
  return info;
}

}  // namespace chronel
