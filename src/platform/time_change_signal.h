// Private to the platform layer: how a backend's watcher reaches the subscribers of
// time_change.h.
#pragma once

namespace chronel::platform::detail {

// Calls every current subscriber on the calling thread.
void NotifyTimeChanged();

}  // namespace chronel::platform::detail
