// Containers: a plain panel and a captioned group box, both docked by Align.
#pragma once

#include <cstdint>
#include <string>

#include "core/control.h"
#include "core/event.h"
#include "ui/align.h"

namespace chronel {

// Not thread-safe, like every control. OnResize runs after code changed the bounds.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TAlign Align() const { return align_; }
  int32_t ClientWidth() const { return Width() - 2 * borderWidth_; }
  // A panel that closes off the area above it draws an etched line along its top edge.
  bool TopSeparator() const { return topSeparator_; }
  void Resize(int32_t width, int32_t height);

 private:
  TAlign align_ = TAlign::alNone;
  int32_t borderWidth_ = 0;
  std::string caption_;
  bool topSeparator_ = false;
  TNotifyEvent onResize_;
};

}  // namespace chronel
