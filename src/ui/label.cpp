#include "ui/label.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info("TLabel", &TControl::StaticClassInfo(),
                               {Published("Caption", &TLabel::caption_),
                                Published("Align", &TLabel::align_, AlignInfo())},
                               {},
                               ComponentFactory<TLabel>);
  return info;
}

void TLabel::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  ViewChanged();
}

}  // namespace chronel
