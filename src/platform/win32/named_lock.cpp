#include "platform/named_lock.h"

#include "core/exception.h"
#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

class NamedLock::Handle {
 public:
  explicit Handle(HANDLE mutex) : mutex(mutex) {}
  ~Handle() { CloseHandle(mutex); }
  HANDLE mutex;
};

void NamedLock::Acquire(std::string_view name, int64_t timeout_ms) {
  const std::u16string system_name = Utf8ToUtf16(NamedLockSystemName(name));
  HANDLE mutex =
      CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(system_name.c_str()));
  if (!mutex) {
    throw Exception("Cannot create the lock " + std::string(name) + " (error " +
                    std::to_string(GetLastError()) + ")");
  }
  handle_ = new Handle(mutex);
  const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  const DWORD result = WaitForSingleObject(mutex, wait);
  // An owner that ended without releasing leaves the mutex abandoned: it is ours now.
  held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

NamedLock::~NamedLock() {
  if (held_) ReleaseMutex(handle_->mutex);
  delete handle_;
}

}  // namespace chronel::platform
