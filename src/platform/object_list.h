// An ordered list of object pointers that frees its objects when they leave it, if it owns
// them (chosen at construction).
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace chronel::platform {

// Not thread-safe; TThreadObjectList guards one.
template <typename T>
class TObjectList {
 public:
  explicit TObjectList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
  ~TObjectList() { Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  bool OwnsObjects() const { return ownsObjects_; }
  std::size_t Count() const { return items_.size(); }
  T* operator[](std::size_t index) const { return items_.at(index); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Takes ownership when the list owns its objects. Answers the position.
  std::size_t Add(T* item) {
    items_.push_back(item);
    return items_.size() - 1;
  }
  void Insert(std::size_t index, T* item) { items_.insert(items_.begin() + index, item); }
  int IndexOf(const T* item) const {
    auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
  }
  // Removes the item at `index`, freeing it when owned.
  void Delete(std::size_t index) {
    T* item = items_.at(index);
    items_.erase(items_.begin() + index);
    Free(item);
  }
  // Removes the first occurrence, freeing it when owned; answers its former position or -1.
  int Remove(const T* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(static_cast<std::size_t>(index));
    return index;
  }
  // Removes the item without freeing it; the caller owns it now.
  T* Extract(std::size_t index) {
    T* item = items_.at(index);
    items_.erase(items_.begin() + index);
    return item;
  }
  void Clear() {
    // Items leave the list before they are freed, so a destructor that looks at the list
    // never sees a freed object.
    std::vector<T*> items;
    items.swap(items_);
    for (T* item : items) Free(item);
  }

 private:
  void Free(T* item) {
    if (ownsObjects_) delete item;
  }

  bool ownsObjects_;
  std::vector<T*> items_;
};

}  // namespace chronel::platform
