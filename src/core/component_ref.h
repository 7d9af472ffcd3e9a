// A reference from one component to another that reads none once the other is freed, so a
// component reference property never points at a freed component.
#pragma once

#include <memory>

namespace chronel {

// T is TComponent or a descendant.
template <typename T>
class TComponentRef {
 public:
  TComponentRef() = default;
  TComponentRef(T* target) { *this = target; }  // NOLINT: implicit, like the pointer it stands for

  TComponentRef& operator=(T* target) {
    target_ = target;
    lifetime_ = target == nullptr ? std::weak_ptr<const void>() : target->Lifetime();
    return *this;
  }

  T* Get() const { return lifetime_.expired() ? nullptr : target_; }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }

 private:
  T* target_ = nullptr;
  std::weak_ptr<const void> lifetime_;
};

template <typename T>
inline constexpr bool kIsComponentRef = false;
template <typename T>
inline constexpr bool kIsComponentRef<TComponentRef<T>> = true;

}  // namespace chronel
