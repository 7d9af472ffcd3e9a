#include "ui/html_help.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& THtmlHelp::StaticClassInfo() {
  static const TClassInfo info("THtmlHelp", &TComponent::StaticClassInfo(),
                               {Published("HelpFile", &THtmlHelp::helpFile_)}, {},
                               ComponentFactory<THtmlHelp>);
  return info;
}

}  // namespace chronel
