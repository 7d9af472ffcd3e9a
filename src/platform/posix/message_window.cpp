#include "platform/message_window.h"

#include "core/exception.h"
#include "platform/posix/thread_queue.h"
#include "platform/posix/window_table.h"

namespace chronel::platform {
namespace {

SendResult Send(const std::shared_ptr<posix::SentMessage>& message, uint32_t timeoutMs) {
  const std::shared_ptr<posix::ThreadQueue> owner = posix::QueueOfWindow(message->Window);
  if (!owner) return {false, 0, kErrorInvalidWindowHandle};
  if (owner->Owner() == CurrentThreadId()) {
    const std::optional<LResult> result = posix::DispatchToWindow(
        message->Window, message->Message, message->WParamValue, message->LParamValue);
    if (!result) return {false, 0, kErrorInvalidWindowHandle};
    return {true, *result, kErrorSuccess};
  }
  message->Sender = posix::CurrentQueue();
  if (const SystemErrorCode error = owner->QueueSent(message)) return {false, 0, error};
  if (!message->Sender->WaitForReply(*message, timeoutMs)) return {false, 0, kErrorTimeout};
  if (!message->Delivered) return {false, 0, kErrorInvalidWindowHandle};
  return {true, message->Result, kErrorSuccess};
}

}  // namespace

WindowHandle CreateMessageWindow(WindowProcedure procedure) {
  if (!procedure) throw Exception("A message window needs a window procedure");
  return posix::AddWindow(std::move(procedure), posix::CurrentQueue());
}

void DestroyMessageWindow(WindowHandle window) {
  const std::shared_ptr<posix::ThreadQueue> owner = posix::QueueOfWindow(window);
  // Only the owner may destroy a window, as on the system.
  if (!owner || owner->Owner() != CurrentThreadId()) return;
  posix::RemoveWindow(window);
}

bool IsMessageWindow(WindowHandle window) { return posix::QueueOfWindow(window) != nullptr; }

SystemErrorCode PostWindowMessage(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam) {
  const std::shared_ptr<posix::ThreadQueue> owner = posix::QueueOfWindow(window);
  if (!owner || !owner->Post({window, message, wparam, lparam})) return kErrorInvalidWindowHandle;
  return kErrorSuccess;
}

SendResult SendMessageWithTimeout(WindowHandle window, uint32_t message, WParam wparam,
                                  LParam lparam, uint32_t timeoutMs) {
  auto sent = std::make_shared<posix::SentMessage>();
  sent->Window = window;
  sent->Message = message;
  sent->WParamValue = wparam;
  sent->LParamValue = lparam;
  return Send(sent, timeoutMs);
}

SendResult SendCopyData(WindowHandle target, WindowHandle sender, std::uintptr_t tag,
                        std::span<const std::byte> bytes, uint32_t timeoutMs) {
  auto sent = std::make_shared<posix::SentMessage>();
  sent->Window = target;
  sent->Message = kWmCopyData;
  sent->WParamValue = sender;
  sent->Bytes.assign(bytes.begin(), bytes.end());
  sent->Record = {tag, static_cast<uint32_t>(bytes.size()), sent->Bytes.data()};
  sent->LParamValue = reinterpret_cast<LParam>(&sent->Record);
  return Send(sent, timeoutMs);
}

LResult DefaultWindowProcedure(WindowHandle, uint32_t, WParam, LParam) { return 0; }

LResult PassToDesktopWindow(uint32_t, WParam, LParam) { return 0; }

}  // namespace chronel::platform
