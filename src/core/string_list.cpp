#include "core/string_list.h"

#include <utility>

#include "core/class_info.h"
#include "core/text.h"

namespace chronel {

const TClassInfo& TStringList::StaticClassInfo() {
  static const TClassInfo info("TStringList", &TObject::StaticClassInfo(), {});
  return info;
}

void TStringList::CheckIndex(int index, int count) const {
  if (index >= 0 && index < count) return;
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::operator[](int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, std::string line) {
  CheckIndex(index, Count());
  lines_[static_cast<size_t>(index)] = std::move(line);
  Changed();
}

void TStringList::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void TStringList::Insert(int index, std::string line) {
  CheckIndex(index, Count() + 1);
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Changed();
}

void TStringList::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed();
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& line : lines_) text.append(line).append("\r\n");
  return text;
}

void TStringList::SetText(std::string_view text) { SetLines(SplitLines(text)); }

void TStringList::EndUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ > 0 || !changedWhileUpdating_) return;
  changedWhileUpdating_ = false;
  Changed();
}

void TStringList::Changed() {
  if (updateDepth_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  if (onChange_) onChange_();
}

}  // namespace chronel
