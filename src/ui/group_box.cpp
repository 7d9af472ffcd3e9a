#include "ui/group_box.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo info("TGroupBox", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Align", &TGroupBox::align_, AlignInfo()),
                                   Published("Caption", &TGroupBox::caption_),
                               },
                               {}, ComponentFactory<TGroupBox>);
  return info;
}

}  // namespace chronel
