#include "platform/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "core/exception.h"

namespace chronel::platform {
namespace {

using Clock = std::chrono::steady_clock;

// flock excludes other processes; inside the process the lock also has one owning thread that
// may take it again, as a Windows mutex does.
struct ProcessLock {
  std::mutex mutex;
  std::condition_variable released;
  std::thread::id owner;
  int depth = 0;
  int fd = -1;    // opened by the first owner, closed with the last user
  int users = 0;  // NamedLock objects of this name alive in the process
};

std::mutex table_mutex;
std::map<std::string, std::shared_ptr<ProcessLock>> table;

std::string LockFilePath(const std::string& system_name) {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder && *folder ? folder : "/tmp") + "/" + system_name + ".lock";
}

// Waits for flock until the deadline (none: without limit).
bool LockFile(int fd, bool limited, Clock::time_point deadline) {
  for (;;) {
    if (flock(fd, limited ? LOCK_EX | LOCK_NB : LOCK_EX) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

class NamedLock::Handle {
 public:
  std::string system_name;
  std::shared_ptr<ProcessLock> lock;
};

namespace {

// The last user of a name closes its file and forgets it.
void DropUser(NamedLock::Handle* handle) {
  {
    std::lock_guard<std::mutex> guard(table_mutex);
    ProcessLock& lock = *handle->lock;
    if (--lock.users == 0) {
      if (lock.fd >= 0) close(lock.fd);
      table.erase(handle->system_name);
    }
  }
  delete handle;
}

}  // namespace

void NamedLock::Acquire(std::string_view name, int64_t timeout_ms) {
  const bool limited = timeout_ms >= 0;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(limited ? timeout_ms : 0);
  handle_ = new Handle{NamedLockSystemName(name), nullptr};
  {
    std::lock_guard<std::mutex> guard(table_mutex);
    std::shared_ptr<ProcessLock>& lock = table[handle_->system_name];
    if (!lock) lock = std::make_shared<ProcessLock>();
    ++lock->users;
    handle_->lock = lock;
  }
  ProcessLock& lock = *handle_->lock;
  std::unique_lock<std::mutex> guard(lock.mutex);
  if (lock.owner == std::this_thread::get_id()) {
    ++lock.depth;
    held_ = true;
    return;
  }
  auto free = [&] { return lock.depth == 0; };
  if (!limited) lock.released.wait(guard, free);
  if (limited && !lock.released.wait_until(guard, deadline, free)) return;
  lock.owner = std::this_thread::get_id();
  lock.depth = 1;
  guard.unlock();

  // Only the owning thread gets here, so the file needs no further guard.
  if (lock.fd < 0) {
    const std::string path = LockFilePath(handle_->system_name);
    lock.fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  }
  const int open_error = errno;
  held_ = lock.fd >= 0 && LockFile(lock.fd, limited, deadline);
  if (held_) return;
  guard.lock();
  lock.owner = std::thread::id();
  lock.depth = 0;
  lock.released.notify_one();
  if (lock.fd >= 0) return;
  guard.unlock();
  DropUser(std::exchange(handle_, nullptr));
  throw Exception("Cannot create the lock " + std::string(name) + ": " + strerror(open_error));
}

NamedLock::~NamedLock() {
  ProcessLock& lock = *handle_->lock;
  if (held_) {
    std::lock_guard<std::mutex> guard(lock.mutex);
    if (--lock.depth == 0) {
      flock(lock.fd, LOCK_UN);
      lock.owner = std::thread::id();
      lock.released.notify_one();
    }
  }
  DropUser(handle_);
}

}  // namespace chronel::platform
