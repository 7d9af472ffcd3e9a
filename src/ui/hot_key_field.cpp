#include "ui/hot_key_field.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& THotKey::StaticClassInfo() {
  static const TClassInfo info("THotKey", &TWinControl::StaticClassInfo(),
                               {Published("HotKey", &THotKey::HotKey, &THotKey::SetHotKey)}, {},
                               ComponentFactory<THotKey>);
  return info;
}

void THotKey::SetHotKey(platform::TShortCut value) {
  const bool bareKey = (value & 0xFF) != 0 && (value & kHotKeyModifiers) == 0;
  hotKey_ = bareKey ? static_cast<platform::TShortCut>(value | kHotKeyModifiers) : value;
  ViewChanged();
}

}  // namespace chronel
