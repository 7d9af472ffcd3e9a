// A timeline kept in memory, for tests that read what the reference host printed.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "host/timeline.h"

namespace chronel::host {

// The plug-in's threads may add to it.
class CapturedTimeline {
 public:
  TTimeline& Timeline() { return timeline_; }

  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // True when some line ends with "[instance] what" (the time in front varies).
  bool Has(int32_t instance, const std::string& what) {
    const std::string tail = "[" + std::to_string(instance) + "] " + what;
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
      return line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    });
  }
  std::string Text() {
    std::string text;
    for (const std::string& line : Lines()) text += line + "\n";
    return text;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
  TTimeline timeline_{[this](const std::string& line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  }};
};

}  // namespace chronel::host
