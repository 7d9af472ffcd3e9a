#include "platform/time_change.h"

#include <condition_variable>
#include <mutex>

#include "platform/thread.h"
#include "platform/time_change_signal.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

constexpr wchar_t kClassName[] = L"ChronelTimeChangeWatcher";
// Enough stack for the system's window creation on this thread.
constexpr std::size_t kWatcherStack = 256 * 1024;

// The resume and time-change broadcasts reach top-level windows only, so the watcher's window
// is a hidden top-level window (a message-only window would never hear them).
LRESULT CALLBACK WatcherMain(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMECHANGE:
      detail::NotifyTimeChanged();
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND) {
        detail::NotifyTimeChanged();
      }
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

struct Watcher {
  std::mutex mutex;  // held for the whole start and stop
  Thread thread;
  HWND window = nullptr;
};

Watcher& TheWatcher() {
  static Watcher* watcher = new Watcher;
  return *watcher;
}

HWND CreateWatcherWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &WatcherMain;
  windowClass.hInstance = win32::OwnModule();
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  return CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, win32::OwnModule(), nullptr);
}

// Runs on the watcher thread: creates the window, reports it, pumps until it is destroyed.
void RunWatcher(HWND* created, std::mutex* mutex, std::condition_variable* ready, bool* done) {
  HWND window = CreateWatcherWindow();
  {
    // Notified under the lock: the starter's locals are gone as soon as it may continue.
    std::lock_guard lock(*mutex);
    *created = window;
    *done = true;
    ready->notify_all();
  }
  if (!window) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

}  // namespace

bool StartTimeChangeWatcher() {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (watcher.window) return true;
  std::mutex startMutex;
  std::condition_variable ready;
  bool done = false;
  HWND created = nullptr;
  watcher.thread = Thread::Start(
      [&] { RunWatcher(&created, &startMutex, &ready, &done); }, kWatcherStack);
  std::unique_lock startLock(startMutex);
  ready.wait(startLock, [&] { return done; });
  startLock.unlock();
  if (!created) {
    watcher.thread.Join();
    return false;
  }
  watcher.window = created;
  return true;
}

void StopTimeChangeWatcher() {
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (!watcher.window) return;
  PostMessageW(watcher.window, WM_CLOSE, 0, 0);  // the default handling destroys the window
  watcher.thread.Join();
  watcher.window = nullptr;
}

void RaiseTimeChangeForTesting() {
  // The message the system broadcasts when the clock is set, but to our window only: a test
  // must not disturb other processes (or other test programs running beside it).
  Watcher& watcher = TheWatcher();
  std::lock_guard lock(watcher.mutex);
  if (watcher.window) PostMessageW(watcher.window, WM_TIMECHANGE, 0, 0);
}

}  // namespace chronel::platform
