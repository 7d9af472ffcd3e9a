// A field that records a key combination as a shortcut code (virtual key in the low byte, plus
// 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt). A key given without any modifier gets Shift+Ctrl+Alt,
// so a bare key never becomes a system-wide hotkey.
#pragma once

#include "core/control.h"
#include "platform/global_hot_key.h"

namespace chronel {

inline constexpr platform::TShortCut kHotKeyModifiers =
    platform::scShift | platform::scCtrl | platform::scAlt;

// Not thread-safe, like every control.
class THotKey : public TWinControl {
 public:
  explicit THotKey(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  platform::TShortCut HotKey() const { return hotKey_; }
  void SetHotKey(platform::TShortCut value);

 private:
  platform::TShortCut hotKey_ = 0;
};

}  // namespace chronel
