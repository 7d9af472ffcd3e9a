#include "core/collection.h"

#include <utility>

#include "core/class_info.h"

namespace chronel {

const TClassInfo& TCollectionItem::StaticClassInfo() {
  static const TClassInfo info("TCollectionItem", &TObject::StaticClassInfo(), {});
  return info;
}

int TCollectionItem::Index() const {
  return collection_ == nullptr ? -1 : collection_->IndexOf(*this);
}

TCollection::TCollection(const TClassInfo& itemClass, TItemFactory makeItem)
    : itemClass_(&itemClass), makeItem_(std::move(makeItem)) {}

TCollection::~TCollection() = default;

const TClassInfo& TCollection::StaticClassInfo() {
  static const TClassInfo info("TCollection", &TObject::StaticClassInfo(), {});
  return info;
}

TCollectionItem& TCollection::Item(int index) const {
  if (index < 0 || index >= Count()) {
    throw EPropertyError("Collection index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<size_t>(index)];
}

TCollectionItem& TCollection::Add() {
  std::unique_ptr<TCollectionItem> item = makeItem_();
  item->collection_ = this;
  items_.push_back(std::move(item));
  return *items_.back();
}

void TCollection::Delete(int index) {
  Item(index);  // checks the index
  items_.erase(items_.begin() + index);
}

void TCollection::Clear() { items_.clear(); }

int TCollection::IndexOf(const TCollectionItem& item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == &item) return static_cast<int>(i);
  }
  return -1;
}

void TCollection::Assign(const TCollection& source) {
  if (&source == this) return;
  if (itemClass_ != source.itemClass_) {
    throw EPropertyError("Cannot copy a collection of " + source.ItemClass().Name() +
                         " into a collection of " + ItemClass().Name());
  }
  Clear();
  for (const std::unique_ptr<TCollectionItem>& item : source.items_) {
    CopyPublishedProperties(*item, Add());
  }
}

}  // namespace chronel
