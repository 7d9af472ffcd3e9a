#include "platform/clock.h"

#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

class Win32Clock final : public Clock {
 public:
  TDateTime LocalNow() const override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return EncodeDateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                           now.wMilliseconds});
  }

  uint32_t TickCount() const override { return GetTickCount(); }

  int64_t HighResCounter() const override {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
  }

  int64_t HighResFrequency() const override {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
  }
};

}  // namespace

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace chronel::platform
