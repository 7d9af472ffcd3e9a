#include "platform/named_lock.h"

#include "core/crc32.h"
#include "core/numbers.h"

namespace chronel::platform {
namespace {

constexpr size_t kLongestKept = 100;

bool IsKept(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

}  // namespace

std::string NamedLockSystemName(std::string_view name) {
  std::string result;
  bool changed = name.empty() || name.size() > kLongestKept;
  for (const char c : name.substr(0, kLongestKept)) {
    changed = changed || !IsKept(c);
    result += IsKept(c) ? c : '_';
  }
  if (changed) {
    result += '-';
    result += IntToHex(Crc32(name), 8);
  }
  return result;
}

NamedLock::NamedLock(std::string_view name) { Acquire(name, -1); }

NamedLock::NamedLock(std::string_view name, uint32_t timeout_ms) { Acquire(name, timeout_ms); }

}  // namespace chronel::platform
