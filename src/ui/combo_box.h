// Combo boxes: a list of items with a chosen index and a text. A drop-down list only chooses
// among its items; an editable one also takes typed text; a simple one is a plain text field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/enumeration.h"
#include "core/event.h"
#include "core/string_list.h"

namespace chronel {

enum class TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList };
const TEnumInfo& ComboBoxStyleInfo();

// Not thread-safe, like every control. Code that changes the choice does not run OnChange; the
// user's choice (Choose) does.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TStringList& Items() { return items_; }
  const TStringList& Items() const { return items_; }
  // Each item may carry a number (the predecessor combo keeps task identifiers there).
  void AddItem(std::string text, uint32_t number);
  uint32_t ItemNumber(int index) const;
  void Clear();

  // -1 for none. An index outside the items chooses none.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  // The chosen item's text, or what was typed into an editable combo.
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);

  // The user picks item `index` (-1 for none): the choice changes and OnChange runs.
  void Choose(int index);

 private:
  void ItemsChanged();

  TStringList items_;
  std::vector<uint32_t> numbers_;
  int32_t itemIndex_ = -1;
  std::string text_;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  TNotifyEvent onChange_;
};

}  // namespace chronel
