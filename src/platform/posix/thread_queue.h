// Private to the POSIX backend: each thread's message queue (posted and sent messages, window
// timers). The window table and a queue are never locked together, nor two queues at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/message_window.h"
#include "platform/thread.h"

namespace chronel::platform::posix {

class ThreadQueue;

// A message sent from another thread; the sender waits for `Done` on its own queue.
struct SentMessage {
  WindowHandle Window = 0;
  uint32_t Message = 0;
  WParam WParamValue = 0;
  LParam LParamValue = 0;
  // A copy-data message carries its own copy of the bytes, so a late delivery after the sender
  // gave up never reads freed memory.
  std::vector<std::byte> Bytes;
  CopyData Record{};
  std::shared_ptr<ThreadQueue> Sender;
  // Written once under the sender queue's mutex; read by the sender after Done.
  bool Done = false;
  bool Delivered = false;
  LResult Result = 0;
};

struct PostedMessage {
  WindowHandle Window;
  uint32_t Message;
  WParam WParamValue;
  LParam LParamValue;
};

struct WindowTimer {
  WindowHandle Window;
  std::uintptr_t Id;
  uint32_t Interval;
  uint32_t Due;  // clock tick count
};

// What a pump step found to do. A due timer comes as `Posted` with its window and id.
struct PumpItem {
  enum class Kind { Sent, Posted, Timer } What;
  std::shared_ptr<SentMessage> Sent;
  PostedMessage Posted{};
};

inline constexpr uint32_t kNoTimeLimit = 0xFFFFFFFF;

class ThreadQueue {
 public:
  explicit ThreadQueue(ThreadId owner);

  ThreadId Owner() const { return owner_; }

  // Any thread. False when the owner thread has ended.
  bool Post(const PostedMessage& message);
  // Any thread. kErrorSuccess, or why the message was not queued (owner ended or hung).
  SystemErrorCode QueueSent(std::shared_ptr<SentMessage> message);
  // Called on the sender's queue by the thread that handled (or dropped) `message`.
  void Reply(SentMessage& message, bool delivered, LResult result);

  // Owner thread: the next thing to handle, if any (sent, then posted, then a due timer).
  std::optional<PumpItem> Next();
  // Owner thread: waits until Next() would find something, or `timeoutMs` (kNoTimeLimit:
  // forever) has passed.
  bool WaitForWork(uint32_t timeoutMs);
  // Sender side: waits for `message` to be done, handling messages sent to this thread
  // meanwhile. False on time-out.
  bool WaitForReply(SentMessage& message, uint32_t timeoutMs);

  // Any thread (the owner in practice).
  void SetTimer(const WindowTimer& timer);
  void KillTimer(WindowHandle window, std::uintptr_t id);
  void KillWindowTimers(WindowHandle window);

  // The owner thread ends: refuse further messages and fail the sends still waiting.
  void Close();

 private:
  std::optional<WindowTimer> TakeDueTimer(uint32_t now);
  bool HasWork(uint32_t now) const;
  uint32_t MsUntilNextTimer(uint32_t now) const;
  bool Hung() const;

  const ThreadId owner_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<PostedMessage> posted_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::vector<WindowTimer> timers_;
  bool closed_ = false;
  // Hung detection: a thread that neither waits for messages nor has looked at its queue for
  // kHungMs is hung, as the system judges a window that stopped pumping. Waits nest (a handler
  // of a message sent during a wait may wait itself); each restores the flag it found.
  bool waiting_ = false;
  uint32_t lastChecked_;
};

// The calling thread's queue, created on first use and closed when the thread ends.
std::shared_ptr<ThreadQueue> CurrentQueue();

// Handles one pump item on the owner thread.
void HandleItem(PumpItem& item);

}  // namespace chronel::platform::posix
