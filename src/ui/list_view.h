// A list view in report style: rows of a caption and sub-item texts under columns, at most one
// row selected. Rows are the model's data, not published properties, so a translation of the
// form never touches them; the columns are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/collection.h"
#include "core/control.h"
#include "core/event.h"
#include "ui/align.h"

namespace chronel {

class TListColumn : public TCollectionItem {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return caption_; }
  int32_t Width() const { return width_; }

 private:
  std::string caption_;
  int32_t width_ = 50;
  int32_t minWidth_ = 0;
  bool autoSize_ = false;
};

struct TListRow {
  std::string Caption;
  std::vector<std::string> SubItems;
  bool operator==(const TListRow&) const = default;
};

// The sender, the row's index and whether it became selected (false: deselected).
using TSelectItemEvent = TEvent<TObject&, int, bool>;

// Not thread-safe, like every control.
class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const TCollection& Columns() const { return columns_; }

  int Count() const { return static_cast<int>(rows_.size()); }
  const TListRow& Row(int index) const { return rows_.at(static_cast<size_t>(index)); }
  const std::vector<TListRow>& Rows() const { return rows_; }
  void AddRow(TListRow row);
  void SetRow(int index, TListRow row);
  // Removing the selected row selects none, without OnSelectItem.
  void DeleteRow(int index);
  void Clear();

  // -1 when no row is selected.
  int ItemIndex() const { return itemIndex_; }
  // Selects row `index` (-1: none). OnSelectItem runs for the row that loses the selection,
  // then for the row that gains it.
  void Select(int index);

  // Changes in between reach the view once, at the end.
  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();

 private:
  void RowsChanged();

  TCollection columns_;
  std::vector<TListRow> rows_;
  int32_t itemIndex_ = -1;
  int updateDepth_ = 0;
  TAlign align_ = TAlign::alNone;
  bool rowSelect_ = false;
  bool readOnly_ = false;
  bool columnClick_ = true;
  bool hideSelection_ = true;
  TSelectItemEvent onSelectItem_;
};

}  // namespace chronel
