#include "platform/message_window.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "core/exception.h"
#include "platform/application.h"
#include "platform/hotkey_registrations.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

static_assert(sizeof(CopyData) == sizeof(COPYDATASTRUCT));
static_assert(offsetof(CopyData, Tag) == offsetof(COPYDATASTRUCT, dwData));
static_assert(offsetof(CopyData, Size) == offsetof(COPYDATASTRUCT, cbData));
static_assert(offsetof(CopyData, Data) == offsetof(COPYDATASTRUCT, lpData));

constexpr wchar_t kClassName[] = L"ChronelMessageWindow";
constexpr UINT kDesktopTimeoutMs = 5000;

using SharedProcedure = std::shared_ptr<WindowProcedure>;

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

SharedProcedure* ProcedureOf(HWND window) {
  return reinterpret_cast<SharedProcedure*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CallProcedure(const SharedProcedure& procedure, HWND window, UINT message,
                      WPARAM wparam, LPARAM lparam) {
  // C++ errors must not unwind through the system's dispatching frames.
  try {
    return (*procedure)(ToHandle(window), message, wparam, lparam);
  } catch (...) {
    HandleApplicationException(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK WindowMain(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // From here on the window owns the procedure and frees it with WM_NCDESTROY.
    auto* creating = static_cast<SharedProcedure**>(
        reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(*creating));
    *creating = nullptr;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  SharedProcedure* slot = ProcedureOf(window);
  if (message == WM_NCDESTROY) {
    detail::RemoveWindowHotKeys(ToHandle(window));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete slot;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  if (!slot) return DefWindowProcW(window, message, wparam, lparam);
  // A procedure that destroys its own window must keep running on a live object.
  const SharedProcedure keep = *slot;
  return CallProcedure(keep, window, message, wparam, lparam);
}

void RegisterWindowClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowMain;
    windowClass.hInstance = win32::OwnModule();
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // a failure shows when the window is created
  });
}

SendResult ToSendResult(LRESULT answered, DWORD_PTR result) {
  if (answered) return {true, static_cast<LResult>(result), kErrorSuccess};
  const DWORD error = GetLastError();
  // A hung owner makes the call fail at once, sometimes without an error code.
  return {false, 0, error ? error : kErrorTimeout};
}

}  // namespace

namespace win32 {

HINSTANCE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

}  // namespace win32

WindowHandle CreateMessageWindow(WindowProcedure procedure) {
  if (!procedure) throw Exception("A message window needs a window procedure");
  RegisterWindowClass();
  auto* slot = new SharedProcedure(std::make_shared<WindowProcedure>(std::move(procedure)));
  HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                win32::OwnModule(), &slot);
  if (!window) {
    const DWORD error = GetLastError();
    delete slot;  // null when the window took it over before failing
    throw Exception("Cannot create a message window (error " + std::to_string(error) + ")");
  }
  return ToHandle(window);
}

void DestroyMessageWindow(WindowHandle window) { DestroyWindow(ToHwnd(window)); }

bool IsMessageWindow(WindowHandle window) { return window != 0 && IsWindow(ToHwnd(window)); }

SystemErrorCode PostWindowMessage(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam) {
  if (PostMessageW(ToHwnd(window), message, wparam, lparam)) return kErrorSuccess;
  return GetLastError();
}

SendResult SendMessageWithTimeout(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam, uint32_t timeoutMs) {
  DWORD_PTR result = 0;
  SetLastError(0);
  const LRESULT answered = SendMessageTimeoutW(ToHwnd(window), message, wparam, lparam,
                                               SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result);
  return ToSendResult(answered, result);
}

SendResult SendCopyData(WindowHandle target, WindowHandle sender, std::uintptr_t tag,
                        std::span<const std::byte> bytes, uint32_t timeoutMs) {
  CopyData record{tag, static_cast<uint32_t>(bytes.size()), const_cast<std::byte*>(bytes.data())};
  return SendMessageWithTimeout(target, kWmCopyData, sender, reinterpret_cast<LParam>(&record),
                                timeoutMs);
}

LResult DefaultWindowProcedure(WindowHandle window, uint32_t message, WParam wparam,
                               LParam lparam) {
  return DefWindowProcW(ToHwnd(window), message, wparam, lparam);
}

LResult PassToDesktopWindow(uint32_t message, WParam wparam, LParam lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDesktopWindow(), message, wparam, lparam, SMTO_ABORTIFHUNG,
                      kDesktopTimeoutMs, &result);
  return static_cast<LResult>(result);
}

}  // namespace chronel::platform
