// The host's timeline: one line per thing that happened, "HH:MM:SS.mmm [instance] what",
// written to a sink the caller chooses (standard output for the tool, a list in tests).
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace chronel::host {

class TTimeline {
 public:
  // Receives each finished line without a line break; called under the timeline's lock.
  using Sink = std::function<void(const std::string& line)>;

  explicit TTimeline(Sink sink) : sink_(std::move(sink)) {}
  // Each line on standard output, flushed at once so a log follows the run live.
  static Sink StandardOutput();

  // Any thread: the plug-in calls the host's services from its own threads too. Instance 0
  // names no instance and shows as "-".
  void Write(int32_t instance, std::string_view what);

 private:
  std::mutex mutex_;
  Sink sink_;
};

}  // namespace chronel::host
