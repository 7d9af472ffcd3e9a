#include "platform/message_loop.h"

#include "platform/posix/thread_queue.h"

namespace chronel::platform {

void ProcessMessages() {
  const std::shared_ptr<posix::ThreadQueue> queue = posix::CurrentQueue();
  while (std::optional<posix::PumpItem> item = queue->Next()) posix::HandleItem(*item);
}

bool WaitForMessages(uint32_t timeoutMs) { return posix::CurrentQueue()->WaitForWork(timeoutMs); }

void RunMessageLoop(const std::function<bool()>& stop) {
  const std::shared_ptr<posix::ThreadQueue> queue = posix::CurrentQueue();
  while (!stop()) {
    if (std::optional<posix::PumpItem> item = queue->Next()) {
      posix::HandleItem(*item);
      continue;
    }
    queue->WaitForWork(posix::kNoTimeLimit);
  }
}

}  // namespace chronel::platform
