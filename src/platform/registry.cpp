#include "platform/registry.h"

#include <atomic>
#include <cstring>

#include "platform/registry_rules.h"

namespace chronel::platform {
namespace {

std::atomic<bool> local_machine_read_only{false};

}  // namespace

bool SplitRegistryPath(std::string_view path, std::vector<std::string>& parts,
                       SystemErrorCode& error) {
  parts.clear();
  if (path.empty()) return true;
  for (;;) {
    const size_t end = path.find('\\');
    const std::string_view part = path.substr(0, end);
    if (part.empty() || parts.size() == kRegistryMaxDepth) {
      error = kRegistryBadPath;
      return false;
    }
    parts.emplace_back(part);
    if (end == std::string_view::npos) return true;
    path.remove_prefix(end + 1);
  }
}

bool RegistryRootRefuses(RegistryRoot root, RegistryAccess access) {
  return root == RegistryRoot::LocalMachine && access == RegistryAccess::ReadWrite &&
         local_machine_read_only.load();
}

SystemErrorCode RefusedRegistryRequest(RegistryRoot root, std::string_view path,
                                       RegistryAccess access, std::vector<std::string>& parts) {
  SystemErrorCode code = 0;
  if (!SplitRegistryPath(path, parts, code)) return code;
  return RegistryRootRefuses(root, access) ? kRegistryAccessDenied : 0;
}

std::string InvalidRegistryTypeMessage(std::string_view name) {
  return "Invalid data type for '" + std::string(name) + "'";
}

std::string RegistryGetFailedMessage(std::string_view name) {
  return "Failed to get data for '" + std::string(name) + "'";
}

std::string RegistrySetFailedMessage(std::string_view name) {
  return "Failed to set data for '" + std::string(name) + "'";
}

void SetLocalMachineReadOnlyForTesting(bool read_only) { local_machine_read_only = read_only; }

std::optional<double> RegistryKey::ReadFloat(std::string_view name) const {
  const std::optional<std::vector<uint8_t>> bytes = ReadBinary(name);
  if (!bytes) return std::nullopt;
  if (bytes->size() != sizeof(double)) {
    throw ERegistryException(InvalidRegistryTypeMessage(name), kRegistryWrongType);
  }
  double value = 0;
  std::memcpy(&value, bytes->data(), sizeof(value));
  return value;
}

void RegistryKey::WriteFloat(std::string_view name, double value) {
  uint8_t bytes[sizeof(double)];
  std::memcpy(bytes, &value, sizeof(value));
  WriteBinary(name, bytes);
}

bool DeleteRegistryTree(RegistryRoot root, std::string_view path) {
  const size_t split = path.rfind('\\');
  const std::string_view parent = split == std::string_view::npos ? "" : path.substr(0, split);
  const std::string_view leaf = split == std::string_view::npos ? path : path.substr(split + 1);
  if (leaf.empty()) throw ERegistryException("Cannot delete a registry root", kRegistryBadPath);
  SystemErrorCode error = 0;
  std::optional<RegistryKey> key =
      RegistryKey::Open(root, parent, RegistryAccess::ReadWrite, &error);
  if (!key && error == kRegistryNotFound) return false;
  if (!key) {
    throw ERegistryException("Cannot open the registry key '" + std::string(parent) + "'", error);
  }
  return key->DeleteTree(leaf);
}

}  // namespace chronel::platform
