#include "platform/posix/window_table.h"

#include <mutex>
#include <unordered_map>

#include "platform/application.h"
#include "platform/hotkey_registrations.h"

namespace chronel::platform::posix {
namespace {

struct WindowRecord {
  // Shared so that a procedure that destroys its own window keeps running on a live object.
  std::shared_ptr<WindowProcedure> Procedure;
  std::shared_ptr<ThreadQueue> Owner;
};

struct Table {
  std::mutex mutex;
  std::unordered_map<WindowHandle, WindowRecord> windows;
  WindowHandle next = 0x10000;
};

Table& TheTable() {
  static Table* table = new Table;  // threads may end (and drop their windows) during exit
  return *table;
}

std::optional<WindowRecord> Find(WindowHandle window) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto found = table.windows.find(window);
  if (found == table.windows.end()) return std::nullopt;
  return found->second;
}

}  // namespace

WindowHandle AddWindow(WindowProcedure procedure, std::shared_ptr<ThreadQueue> owner) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const WindowHandle handle = table.next;
  table.next += 2;  // odd numbers stay invalid, as a stray integer should be
  table.windows.emplace(handle, WindowRecord{std::make_shared<WindowProcedure>(std::move(procedure)),
                                             std::move(owner)});
  return handle;
}

bool RemoveWindow(WindowHandle window) {
  std::shared_ptr<ThreadQueue> owner;
  {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto found = table.windows.find(window);
    if (found == table.windows.end()) return false;
    owner = found->second.Owner;
    table.windows.erase(found);
  }
  owner->KillWindowTimers(window);
  detail::RemoveWindowHotKeys(window);
  return true;
}

void RemoveWindowsOf(const ThreadQueue& owner) {
  std::vector<WindowHandle> handles;
  {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    for (const auto& [handle, record] : table.windows) {
      if (record.Owner.get() == &owner) handles.push_back(handle);
    }
  }
  for (WindowHandle handle : handles) RemoveWindow(handle);
}

std::shared_ptr<ThreadQueue> QueueOfWindow(WindowHandle window) {
  std::optional<WindowRecord> record = Find(window);
  return record ? record->Owner : nullptr;
}

std::optional<LResult> DispatchToWindow(WindowHandle window, uint32_t message, WParam wparam,
                                        LParam lparam) {
  std::optional<WindowRecord> record = Find(window);
  if (!record || record->Owner->Owner() != CurrentThreadId()) return std::nullopt;
  const std::shared_ptr<WindowProcedure> procedure = record->Procedure;
  record.reset();
  try {
    return (*procedure)(window, message, wparam, lparam);
  } catch (...) {
    HandleApplicationException(std::current_exception());
    return 0;
  }
}

}  // namespace chronel::platform::posix
