#include "schedule/sch_event_list.h"

#include <utility>

#include "core/exception.h"

namespace chronel {

TScheduledEvent& TSchEventList::Add(const std::string& name) {
  TScheduledEvent& event = *events_.emplace_back(std::make_unique<TScheduledEvent>(name));
  if (OnEventAdded) OnEventAdded(*this, event);
  return event;
}

TScheduledEvent& TSchEventList::Events(std::size_t index) const {
  if (index >= events_.size()) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *events_[index];
}

void TSchEventList::Clear() {
  // Events leave the list before they are freed, so a handler that looks at it never meets a
  // freed event.
  std::vector<std::unique_ptr<TScheduledEvent>> events;
  events.swap(events_);
  events.clear();
}

}  // namespace chronel
