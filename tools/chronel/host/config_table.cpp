#include "config_table.h"

#include "core/text.h"

namespace chronel::host {

TConfigTable::TConfigTable(std::vector<std::string> names) : names_(std::move(names)) {}

int32_t TConfigTable::IdOf(std::string_view name) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < names_.size(); ++i) {
    if (SameTextAscii(names_[i], name)) return static_cast<int32_t>(i + 1);
  }
  names_.emplace_back(name);
  return static_cast<int32_t>(names_.size());
}

std::string TConfigTable::NameOf(int32_t id) const {
  std::lock_guard lock(mutex_);
  if (id < 1 || static_cast<size_t>(id) > names_.size()) return {};
  return names_[static_cast<size_t>(id) - 1];
}

std::vector<std::string> TConfigTable::Names() const {
  std::lock_guard lock(mutex_);
  return names_;
}

void TConfigTable::Replace(std::vector<std::string> names) {
  std::lock_guard lock(mutex_);
  names_ = std::move(names);
}

}  // namespace chronel::host
