// The multiple-reader, single-writer lock under the lockable containers. Any number of threads
// may read at once; one thread at a time writes, and then nobody else reads. The writer may
// take it again (nested, one release per take) and may also read. A reader may take it for
// writing without releasing its read first; it then holds both and releases both. If two
// readers ask to write at once, the second waits with its read set aside until the first has
// finished writing: a reader that takes the lock for writing must not assume the data stayed
// as it read it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace chronel::platform {

// All methods: any thread; each release by the thread that took.
class ReadWriteLock {
 public:
  ReadWriteLock() = default;
  ReadWriteLock(const ReadWriteLock&) = delete;
  ReadWriteLock& operator=(const ReadWriteLock&) = delete;

  void BeginRead();
  void EndRead();
  void BeginWrite();
  void EndWrite();

 private:
  bool CanRead(std::thread::id self) const;
  bool CanWrite() const;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Read holds per thread. A reader waiting to write is not in here meanwhile, so it keeps no
  // other writer out.
  std::unordered_map<std::thread::id, int> reads_;
  std::thread::id writer_;
  int writes_ = 0;
  int writersWaiting_ = 0;
};

}  // namespace chronel::platform
