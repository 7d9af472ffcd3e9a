#include "ui/page_control.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TTabSheet::StaticClassInfo() {
  static const TClassInfo info("TTabSheet", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TTabSheet::caption_),
                                   Published("TabVisible", &TTabSheet::tabVisible_),
                               },
                               {}, ComponentFactory<TTabSheet>);
  return info;
}

void TTabSheet::SetParentComponent(TComponent& parent) {
  auto* pages = dynamic_cast<TPageControl*>(&parent);
  if (pages == nullptr) throw EComponentError("Page " + Name() + " belongs in a page control");
  SetParent(pages);
}

const TClassInfo& TPageControl::StaticClassInfo() {
  static const TClassInfo info("TPageControl", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Align", &TPageControl::align_, AlignInfo()),
                                   Published("ActivePageIndex", &TPageControl::activePageIndex_),
                               },
                               {}, ComponentFactory<TPageControl>);
  return info;
}

std::vector<TTabSheet*> TPageControl::Pages() const {
  std::vector<TTabSheet*> pages;
  for (TControl* control : Controls()) {
    if (auto* page = dynamic_cast<TTabSheet*>(control)) pages.push_back(page);
  }
  return pages;
}

void TPageControl::SetActivePageIndex(int index) {
  const int count = static_cast<int>(Pages().size());
  activePageIndex_ = index >= 0 && index < count ? index : -1;
  ViewChanged();
}

TTabSheet* TPageControl::ActivePage() const {
  const std::vector<TTabSheet*> pages = Pages();
  return activePageIndex_ < 0 ? nullptr : pages[static_cast<size_t>(activePageIndex_)];
}

}  // namespace chronel
