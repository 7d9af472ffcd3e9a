// A lock shared by all processes of the machine, found by name: operations on one settings
// file by different threads or processes run one after another.
//
// Any text serves as a name (file paths included); names that differ in any character are
// different locks. Windows: a named mutex. POSIX: flock on a file in the temporary folder.
//
// Threads: the lock belongs to the thread that acquired it and is re-entrant for that thread
// (a second NamedLock of the same name on the same thread succeeds at once); other threads and
// processes wait. Destroy a NamedLock on the thread that created it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace chronel::platform {

class NamedLock {
 public:
  // Waits as long as it takes until the lock is held.
  explicit NamedLock(std::string_view name);
  // Waits at most `timeout_ms` (0: only tries); Held() tells whether the lock was taken.
  NamedLock(std::string_view name, uint32_t timeout_ms);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  bool Held() const { return held_; }

  class Handle;  // backend state

 private:
  void Acquire(std::string_view name, int64_t timeout_ms);  // timeout < 0: no limit
  Handle* handle_ = nullptr;
  bool held_ = false;
};

// The operating-system name derived from a lock name: letters, digits, "-", "_" and "." are
// kept, anything else becomes "_", at most 100 of them are used, and when anything was
// replaced or cut a checksum of the whole name follows, so different names stay different.
std::string NamedLockSystemName(std::string_view name);

}  // namespace chronel::platform
