#include "platform/thread_string_list.h"

#include "core/text.h"

namespace chronel::platform {

TThreadStringList::~TThreadStringList() {
  lock_.BeginWrite();
  delete lines_;
  lines_ = nullptr;
  lock_.EndWrite();
}

std::vector<std::string>* TThreadStringList::LockList() {
  lock_.BeginWrite();
  return lines_;
}

void TThreadStringList::UnlockList() { lock_.EndWrite(); }

Locked<std::vector<std::string>> TThreadStringList::Lock() { return {LockList(), lock_, true}; }

void TThreadStringList::AddLine(std::string line) { Lock()->push_back(std::move(line)); }

void TThreadStringList::SetLinesText(std::string_view text) {
  std::vector<std::string> lines = SplitLines(text);
  Lock()->swap(lines);
}

}  // namespace chronel::platform
