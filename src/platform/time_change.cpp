#include "platform/time_change.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/application.h"
#include "platform/time_change_signal.h"

namespace chronel::platform {
namespace {

// Held while callbacks run, so a subscription that ends waits for a running callback; recursive
// so a callback may end or start subscriptions itself.
struct Subscribers {
  std::recursive_mutex mutex;
  std::map<uint64_t, std::function<void()>> callbacks;
  uint64_t nextId = 1;
};

Subscribers& TheSubscribers() {
  static Subscribers* subscribers = new Subscribers;  // outlives late unsubscribers at exit
  return *subscribers;
}

}  // namespace

namespace detail {

void NotifyTimeChanged() {
  Subscribers& subscribers = TheSubscribers();
  std::lock_guard lock(subscribers.mutex);
  std::vector<uint64_t> ids;
  for (const auto& entry : subscribers.callbacks) ids.push_back(entry.first);
  for (uint64_t id : ids) {
    auto found = subscribers.callbacks.find(id);
    if (found == subscribers.callbacks.end()) continue;  // ended by an earlier callback
    std::function<void()> callback = found->second;
    try {
      callback();
    } catch (...) {
      HandleApplicationException(std::current_exception());
    }
  }
}

}  // namespace detail

TimeChangeSubscription::TimeChangeSubscription(std::function<void()> callback) {
  Subscribers& subscribers = TheSubscribers();
  std::lock_guard lock(subscribers.mutex);
  id_ = subscribers.nextId++;
  subscribers.callbacks.emplace(id_, std::move(callback));
}

TimeChangeSubscription::~TimeChangeSubscription() { Reset(); }

TimeChangeSubscription::TimeChangeSubscription(TimeChangeSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

TimeChangeSubscription& TimeChangeSubscription::operator=(
    TimeChangeSubscription&& other) noexcept {
  if (this != &other) {
    Reset();
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void TimeChangeSubscription::Reset() {
  if (id_ == 0) return;
  Subscribers& subscribers = TheSubscribers();
  std::lock_guard lock(subscribers.mutex);
  subscribers.callbacks.erase(id_);
  id_ = 0;
}

}  // namespace chronel::platform
