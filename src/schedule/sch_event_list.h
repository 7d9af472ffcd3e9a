// The scheduled events of one owner (the plug-in keeps one per time-based task): an owning list
// whose clearing stops and frees every event.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "schedule/scheduled_event.h"

namespace chronel {

// Used by the thread that owns the events (the one that starts and stops them).
class TSchEventList {
 public:
  // Called after each Add, on the calling thread.
  using TEventAdded = std::function<void(TSchEventList& sender, TScheduledEvent& event)>;

  TSchEventList() = default;
  ~TSchEventList() { Clear(); }
  TSchEventList(const TSchEventList&) = delete;
  TSchEventList& operator=(const TSchEventList&) = delete;

  TEventAdded OnEventAdded;

  // Always a new event, even for a name already in the list.
  TScheduledEvent& Add(const std::string& name);
  // Raises "List index out of bounds (n)" for a position outside the list.
  TScheduledEvent& Events(std::size_t index) const;
  std::size_t Count() const { return events_.size(); }
  // Frees every event (each stop waits at most kStopTimeoutMs for its thread).
  void Clear();

 private:
  std::vector<std::unique_ptr<TScheduledEvent>> events_;
};

}  // namespace chronel
