#include "tasks/proxy_code_object.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TProxyCodeCustomObject::StaticClassInfo() {
  static const TClassInfo info("TProxyCodeCustomObject", &TComponent::StaticClassInfo(), {});
  return info;
}

const TClassInfo& TProxyCodeObject::StaticClassInfo() {
  static const TClassInfo info(
      "TProxyCodeObject", &TProxyCodeCustomObject::StaticClassInfo(),
      {
          Published("Left", &TProxyCodeObject::left_),
          Published("Top", &TProxyCodeObject::top_),
          Published("Height", &TProxyCodeObject::height_),
          Published("Width", &TProxyCodeObject::width_),
          Published("lstTasks_Strings", &TProxyCodeObject::tasks_),
      });
  return info;
}

}  // namespace chronel
