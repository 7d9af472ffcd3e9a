#include "ui/combo_box.h"

#include "core/published_properties.h"

namespace chronel {

const TEnumInfo& ComboBoxStyleInfo() {
  static const TEnumInfo info("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"});
  return info;
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  items_.SetOnChange([this] { ItemsChanged(); });
}

const TClassInfo& TComboBox::StaticClassInfo() {
  static const TClassInfo info(
      "TComboBox", &TWinControl::StaticClassInfo(),
      {
          Published("Items", &TComboBox::items_),
          Published("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex),
          Published("Text", &TComboBox::text_),
          Published("Style", &TComboBox::style_, ComboBoxStyleInfo()),
          Published("OnChange", &TComboBox::onChange_),
      },
      {}, ComponentFactory<TComboBox>);
  return info;
}

// Items replaced as a whole (a declaration, a translation) carry no numbers; a chosen index
// that no longer exists chooses none.
void TComboBox::ItemsChanged() {
  numbers_.resize(static_cast<size_t>(items_.Count()), 0);
  if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
  ViewChanged();
}

void TComboBox::AddItem(std::string text, uint32_t number) {
  items_.Add(std::move(text));
  numbers_.resize(static_cast<size_t>(items_.Count()), 0);
  numbers_.back() = number;
}

uint32_t TComboBox::ItemNumber(int index) const {
  return index >= 0 && index < static_cast<int>(numbers_.size()) ? numbers_[index] : 0;
}

void TComboBox::Clear() {
  items_.Clear();
  itemIndex_ = -1;
  text_.clear();
  ViewChanged();
}

void TComboBox::SetItemIndex(int index) {
  itemIndex_ = index >= 0 && index < items_.Count() ? index : -1;
  if (itemIndex_ >= 0) text_ = items_[itemIndex_];
  if (itemIndex_ < 0 && style_ == TComboBoxStyle::csDropDownList) text_.clear();
  ViewChanged();
}

void TComboBox::SetText(std::string text) {
  text_ = std::move(text);
  itemIndex_ = -1;
  for (int i = 0; i < items_.Count(); ++i) {
    if (items_[i] == text_) itemIndex_ = i;
  }
  ViewChanged();
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  style_ = style;
  ViewChanged();
}

void TComboBox::Choose(int index) {
  SetItemIndex(index);
  onChange_(*this);
}

}  // namespace chronel
