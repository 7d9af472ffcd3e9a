// A string list (unsorted) with a lock of its own; the plug-in's pending log lines live in one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/read_write_lock.h"
#include "platform/thread_object.h"

namespace chronel::platform {

// Every method: any thread. The thread holding LockList may call AddLine and SetLinesText.
class TThreadStringList {
 public:
  TThreadStringList() = default;
  ~TThreadStringList();
  TThreadStringList(const TThreadStringList&) = delete;
  TThreadStringList& operator=(const TThreadStringList&) = delete;

  // The inner list, locked exclusively until UnlockList.
  std::vector<std::string>* LockList();
  void UnlockList();
  // The scoped form of the pair above.
  Locked<std::vector<std::string>> Lock();

  // Appends one line.
  void AddLine(std::string line);
  // Replaces the content with the lines of `text` (broken at CR, LF or CR LF; a break at the end
  // gives no empty last line).
  void SetLinesText(std::string_view text);

 private:
  ReadWriteLock lock_;
  std::vector<std::string>* lines_ = new std::vector<std::string>;
};

}  // namespace chronel::platform
