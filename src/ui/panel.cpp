#include "ui/panel.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo info("TPanel", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Align", &TPanel::align_, AlignInfo()),
                                   Published("BorderWidth", &TPanel::borderWidth_),
                                   Published("Caption", &TPanel::caption_),
                                   Published("TopSeparator", &TPanel::topSeparator_),
                                   Published("OnResize", &TPanel::onResize_),
                               },
                               {}, ComponentFactory<TPanel>);
  return info;
}

void TPanel::Resize(int32_t width, int32_t height) {
  SetBounds(Left(), Top(), width, height);
  onResize_(*this);
}

}  // namespace chronel
