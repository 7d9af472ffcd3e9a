// A page control shows one of its pages at a time. Without tabs, code chooses the page.
#pragma once

#include <cstdint>
#include <vector>

#include "core/control.h"
#include "ui/align.h"

namespace chronel {

class TPageControl;

// A page of a page control. Not thread-safe, like every control.
class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // A page sits in a page control.
  void SetParentComponent(TComponent& parent) override;

 private:
  std::string caption_;
  bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner) : TWinControl(owner) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The pages in the order they were placed.
  std::vector<TTabSheet*> Pages() const;
  // -1 when none is shown; an index outside the pages shows none.
  int ActivePageIndex() const { return activePageIndex_; }
  void SetActivePageIndex(int index);
  TTabSheet* ActivePage() const;

  // The area the pages fill; without tabs and borders it is the control itself.
  int32_t ClientHeight() const { return Height(); }
  void SetClientHeight(int32_t height) { SetBounds(Left(), Top(), Width(), height); }

 private:
  TAlign align_ = TAlign::alNone;
  int32_t activePageIndex_ = -1;
};

}  // namespace chronel
