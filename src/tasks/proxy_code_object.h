// Proxy objects carry the options dialog's stored properties when no dialog is open. The
// property store maps a dotted path onto a proxy by joining its parts with "_": the dialog's
// lstTasks.Strings is a proxy's lstTasks_Strings.
#pragma once

#include <cstdint>

#include "core/component.h"
#include "core/string_list.h"

namespace chronel {

// The base the property store recognises.
class TProxyCodeCustomObject : public TComponent {
 public:
  explicit TProxyCodeCustomObject(TComponent* owner) : TComponent(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// The dialog's bounds (1, 1, 456 high, 691 wide until loaded) and its task lines. Not
// thread-safe, like every component.
class TProxyCodeObject : public TProxyCodeCustomObject {
 public:
  explicit TProxyCodeObject(TComponent* owner) : TProxyCodeCustomObject(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Height() const { return height_; }
  int32_t Width() const { return width_; }
  void SetLeft(int32_t value) { left_ = value; }
  void SetTop(int32_t value) { top_ = value; }
  void SetHeight(int32_t value) { height_ = value; }
  void SetWidth(int32_t value) { width_ = value; }
  // The list itself is never replaced, only its content.
  TStringList& lstTasks_Strings() { return tasks_; }
  const TStringList& lstTasks_Strings() const { return tasks_; }

 private:
  int32_t left_ = 1;
  int32_t top_ = 1;
  int32_t height_ = 456;
  int32_t width_ = 691;
  TStringList tasks_;
};

}  // namespace chronel
