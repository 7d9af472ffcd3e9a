#include "engine/strings_holder.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TStringsHolder::StaticClassInfo() {
  static const TClassInfo info("TStringsHolder", &TComponent::StaticClassInfo(),
                               {Published("Strings", &TStringsHolder::strings_)}, {},
                               ComponentFactory<TStringsHolder>);
  return info;
}

}  // namespace chronel
