#include "core/application.h"

#include "core/form.h"
#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo info("TApplication", &TComponent::StaticClassInfo(), {});
  return info;
}

TForm* TApplication::MainForm() const {
  for (TComponent* component : Components()) {
    if (auto* form = dynamic_cast<TForm*>(component)) return form;
  }
  return nullptr;
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace chronel
