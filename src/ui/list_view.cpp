#include "ui/list_view.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TListColumn::StaticClassInfo() {
  static const TClassInfo info("TListColumn", &TCollectionItem::StaticClassInfo(),
                               {
                                   Published("Caption", &TListColumn::caption_),
                                   Published("Width", &TListColumn::width_),
                                   Published("MinWidth", &TListColumn::minWidth_),
                                   Published("AutoSize", &TListColumn::autoSize_),
                               });
  return info;
}

TListView::TListView(TComponent* owner)
    : TWinControl(owner), columns_(TCollection::Of<TListColumn>()) {}

const TClassInfo& TListView::StaticClassInfo() {
  static const TClassInfo info("TListView", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Align", &TListView::align_, AlignInfo()),
                                   Published("Columns", &TListView::columns_),
                                   Published("RowSelect", &TListView::rowSelect_),
                                   Published("ReadOnly", &TListView::readOnly_),
                                   Published("ColumnClick", &TListView::columnClick_),
                                   Published("HideSelection", &TListView::hideSelection_),
                                   Published("OnSelectItem", &TListView::onSelectItem_),
                               },
                               {}, ComponentFactory<TListView>);
  return info;
}

void TListView::RowsChanged() {
  if (updateDepth_ == 0) ViewChanged();
}

void TListView::EndUpdate() {
  if (updateDepth_ > 0 && --updateDepth_ == 0) ViewChanged();
}

void TListView::AddRow(TListRow row) {
  rows_.push_back(std::move(row));
  RowsChanged();
}

void TListView::SetRow(int index, TListRow row) {
  rows_.at(static_cast<size_t>(index)) = std::move(row);
  RowsChanged();
}

void TListView::DeleteRow(int index) {
  rows_.erase(rows_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = -1;
  if (itemIndex_ > index) --itemIndex_;
  RowsChanged();
}

void TListView::Clear() {
  rows_.clear();
  itemIndex_ = -1;
  RowsChanged();
}

void TListView::Select(int index) {
  if (index < -1 || index >= Count() || index == itemIndex_) return;
  const int previous = itemIndex_;
  itemIndex_ = index;
  RowsChanged();
  if (previous >= 0) onSelectItem_(*this, previous, false);
  if (index >= 0) onSelectItem_(*this, index, true);
}

}  // namespace chronel
