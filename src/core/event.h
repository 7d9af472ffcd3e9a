// Handlers: method references (an object and one of its member functions) that receive the
// sender first. Components publish them as handler properties ("OnTimer"); forms bind them by
// the method's published name when they are loaded.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>

#include "core/object.h"

namespace chronel {

// A published method bound to its object, with the handler type erased: Code holds the
// std::function of the handler's exact signature.
struct TMethod {
  TObject* Data = nullptr;
  std::string Name;
  std::any Code;

  bool IsAssigned() const { return Code.has_value(); }
};

// A handler of the signature void(Args...). Calling an unset handler does nothing.
template <typename... Args>
class TEvent {
 public:
  using TFunction = std::function<void(Args...)>;

  TEvent() = default;
  // A handler written in code (tests, the library's own wiring).
  TEvent(TFunction function) : function_(std::move(function)) {}  // NOLINT: implicit on purpose
  // A member function of `object`.
  template <typename C>
  TEvent(C& object, void (C::*method)(Args...), std::string name = {})
      : function_(
            [&object, method](Args... args) { (object.*method)(std::forward<Args>(args)...); }),
        data_(&object),
        name_(std::move(name)) {}
  // `method.Code` must hold a TFunction (property writes check this first).
  explicit TEvent(const TMethod& method)
      : function_(std::any_cast<const TFunction&>(method.Code)),
        data_(method.Data),
        name_(method.Name) {}

  explicit operator bool() const { return static_cast<bool>(function_); }
  void operator()(Args... args) const {
    if (function_) function_(std::forward<Args>(args)...);
  }

  // The object and the published name of the bound method (empty for a handler written in code).
  TObject* Data() const { return data_; }
  const std::string& Name() const { return name_; }
  TMethod ToMethod() const {
    if (!function_) return {};
    return {data_, name_, function_};
  }

 private:
  TFunction function_;
  TObject* data_ = nullptr;
  std::string name_;
};

template <typename T>
inline constexpr bool kIsEvent = false;
template <typename... Args>
inline constexpr bool kIsEvent<TEvent<Args...>> = true;

// The plain notification: the sender only.
using TNotifyEvent = TEvent<TObject&>;

}  // namespace chronel
