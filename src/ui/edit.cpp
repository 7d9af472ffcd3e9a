#include "ui/edit.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TEdit::StaticClassInfo() {
  static const TClassInfo info("TEdit", &TWinControl::StaticClassInfo(),
                               {Published("Text", &TEdit::text_)}, {}, ComponentFactory<TEdit>);
  return info;
}

void TEdit::SetText(std::string text) {
  text_ = std::move(text);
  ViewChanged();
}

}  // namespace chronel
