#include "core/form.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info("TForm", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TForm::caption_),
                                   Published("OnCreate", &TForm::onCreate_),
                                   Published("OnClose", &TForm::onClose_),
                               });
  return info;
}

}  // namespace chronel
