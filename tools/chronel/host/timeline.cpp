#include "timeline.h"

#include <cstdio>

#include "core/date_time.h"
#include "platform/clock.h"

namespace chronel::host {
namespace {

std::string TimeOfDay() {
  const CivilDateTime now = DecodeDateTime(platform::CurrentClock().LocalNow());
  char text[16];
  std::snprintf(text, sizeof(text), "%02d:%02d:%02d.%03d", now.Hour, now.Minute, now.Second,
                now.Millisecond);
  return text;
}

}  // namespace

TTimeline::Sink TTimeline::StandardOutput() {
  return [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
}

void TTimeline::Write(int32_t instance, std::string_view what) {
  std::string line = TimeOfDay();
  line += instance == 0 ? " [-] " : " [" + std::to_string(instance) + "] ";
  line += what;
  std::lock_guard lock(mutex_);
  sink_(line);
}

}  // namespace chronel::host
