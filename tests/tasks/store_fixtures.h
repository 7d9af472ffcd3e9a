// Objects for the property store tests: a list box like the dialog's lstTasks, and the
// plug-in's property map.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/class_info.h"
#include "core/component.h"
#include "core/component_ref.h"
#include "core/published_properties.h"
#include "core/string_list.h"
#include "core/variant.h"

namespace chronel::testing {

inline const std::vector<std::string> kPluginMap = {
    "Left,Left", "Top,Top", "Height,Height", "Width,Width", ";---short---",
    "lstTasks.Strings,Tasks"};

class TTestListBox : public TComponent {
 public:
  explicit TTestListBox(TComponent* owner) : TComponent(owner) {}

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info("TTestListBox", &TComponent::StaticClassInfo(),
                                 {
                                     Published("Strings", &TTestListBox::Strings),
                                     Published("ItemIndex", &TTestListBox::ItemIndex),
                                     Published("Ratio", &TTestListBox::Ratio),
                                     Published("Extra", &TTestListBox::Extra),
                                     Published("Partner", &TTestListBox::Partner),
                                     Published("DockSite", &TTestListBox::DockSite),
                                 });
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TStringList Strings;
  int32_t ItemIndex = -1;
  double Ratio = 0;
  TVariant Extra;
  TComponentRef<TComponent> Partner;
  TComponentRef<TComponent> DockSite;
};

}  // namespace chronel::testing
