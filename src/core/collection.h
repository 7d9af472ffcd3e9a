// Collections: owned lists of items that publish their own properties (the columns of a list
// view, each with a Caption and a Width). A collection is the value of a collection property.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/object.h"

namespace chronel {

class TCollection;

class TCollectionItem : public TObject {
 public:
  TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The collection that holds the item and its position there; null and -1 outside one.
  TCollection* Collection() const { return collection_; }
  int Index() const;

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

// Not thread-safe: owned by one object and changed on its thread.
class TCollection : public TObject {
 public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;

  // A collection of items of `itemClass`, each made by `makeItem`.
  TCollection(const TClassInfo& itemClass, TItemFactory makeItem);
  template <typename Item>
  static TCollection Of() {
    return TCollection(Item::StaticClassInfo(), [] { return std::make_unique<Item>(); });
  }
  TCollection(const TCollection&) = delete;  // items point back at their collection
  TCollection& operator=(const TCollection&) = delete;
  ~TCollection() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const TClassInfo& ItemClass() const { return *itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Item and Delete raise EPropertyError "Collection index out of bounds (<index>)".
  TCollectionItem& Item(int index) const;
  TCollectionItem& Add();
  void Delete(int index);
  void Clear();
  int IndexOf(const TCollectionItem& item) const;

  // Replaces the items by copies of the source's, whose item class must be the same.
  void Assign(const TCollection& source);

 private:
  const TClassInfo* itemClass_;
  TItemFactory makeItem_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};

}  // namespace chronel
