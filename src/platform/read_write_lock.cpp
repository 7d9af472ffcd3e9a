#include "platform/read_write_lock.h"

#include <cassert>

namespace chronel::platform {

bool ReadWriteLock::CanRead(std::thread::id self) const {
  if (writes_ > 0) return writer_ == self;
  // A thread that already reads must get in even past waiting writers, or it would wait for a
  // writer that waits for it.
  if (reads_.count(self)) return true;
  return writersWaiting_ == 0;
}

bool ReadWriteLock::CanWrite() const {
  return writes_ == 0 && reads_.empty();
}

void ReadWriteLock::BeginRead() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return CanRead(self); });
  ++reads_[self];
}

void ReadWriteLock::EndRead() {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard lock(mutex_);
  auto mine = reads_.find(self);
  assert(mine != reads_.end() && "EndRead without BeginRead on this thread");
  if (mine == reads_.end()) return;
  if (--mine->second == 0) reads_.erase(mine);
  changed_.notify_all();
}

void ReadWriteLock::BeginWrite() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock lock(mutex_);
  if (writes_ > 0 && writer_ == self) {
    ++writes_;
    return;
  }
  // Our own reads must not keep us (or another reader asking to write) out: set them aside
  // while waiting and take them back with the write.
  int ownReads = 0;
  if (auto mine = reads_.find(self); mine != reads_.end()) {
    ownReads = mine->second;
    reads_.erase(mine);
    changed_.notify_all();
  }
  ++writersWaiting_;
  changed_.wait(lock, [&] { return CanWrite(); });
  --writersWaiting_;
  if (ownReads > 0) reads_[self] = ownReads;
  writer_ = self;
  writes_ = 1;
}

void ReadWriteLock::EndWrite() {
  std::lock_guard lock(mutex_);
  assert(writes_ > 0 && writer_ == std::this_thread::get_id() &&
         "EndWrite without BeginWrite on this thread");
  if (writes_ == 0 || writer_ != std::this_thread::get_id()) return;
  if (--writes_ == 0) writer_ = std::thread::id();
  changed_.notify_all();
}

}  // namespace chronel::platform
