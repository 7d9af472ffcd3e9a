#include "platform/registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/locale_services.h"
#include "platform/posix/registry_tree.h"
#include "platform/registry_rules.h"

namespace chronel::platform {

class RegistryKey::Handle {
 public:
  Handle(std::shared_ptr<RegistryNode> node, bool writable)
      : node(std::move(node)), writable(writable) {}
  std::shared_ptr<RegistryNode> node;
  bool writable;
};

namespace {

constexpr SystemErrorCode kCannotRead = 1012;   // ERROR_CANTREAD
constexpr SystemErrorCode kCannotWrite = 1013;  // ERROR_CANTWRITE

using Lock = std::lock_guard<std::mutex>;

std::shared_ptr<RegistryNode>& RootNode(RegistryTree& tree, RegistryRoot root) {
  return tree.Roots[root == RegistryRoot::LocalMachine ? 1 : 0];
}

std::shared_ptr<RegistryNode> FindChild(const RegistryNode& node, std::string_view name) {
  const auto found = node.Children.find(FoldRegistryName(name));
  return found == node.Children.end() ? nullptr : found->second;
}

std::shared_ptr<RegistryNode> Walk(std::shared_ptr<RegistryNode> node,
                                   const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    if (!node) return nullptr;
    node = FindChild(*node, part);
  }
  return node;
}

std::shared_ptr<RegistryNode> WalkCreating(std::shared_ptr<RegistryNode> node,
                                           const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    std::shared_ptr<RegistryNode>& child = node->Children[FoldRegistryName(part)];
    if (!child) {
      child = std::make_shared<RegistryNode>();
      child->Name = part;
    }
    node = child;
  }
  return node;
}

void MarkDeleted(RegistryNode& node) {
  node.Deleted = true;
  for (auto& [name, child] : node.Children) MarkDeleted(*child);
}

RegistryValue* FindValue(RegistryNode& node, std::string_view name) {
  const std::string folded = FoldRegistryName(name);
  for (RegistryValue& value : node.Values) {
    if (value.FoldedName == folded) return &value;
  }
  return nullptr;
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    throw ERegistryException("Cannot write the registry file " + path + ": " + strerror(errno),
                             kCannotWrite);
  }
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t result = write(fd, text.data() + written, text.size() - written);
    if (result < 0 && errno == EINTR) continue;
    if (result < 0) break;
    written += static_cast<size_t>(result);
  }
  const bool complete = written == text.size() && fsync(fd) == 0;
  const int saved_errno = errno;
  close(fd);
  if (!complete || rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = complete ? errno : saved_errno;
    unlink(temporary.c_str());
    throw ERegistryException("Cannot write the registry file " + path + ": " + strerror(error),
                             kCannotWrite);
  }
}

// After every change, with the mutex held.
void Persist(RegistryTree& tree) {
  if (tree.File.empty()) return;
  WriteFileAtomically(tree.File, RegistryToText(tree));
}

}  // namespace

RegistryTree& TheRegistry() {
  static RegistryTree tree;
  static std::once_flag roots_made;
  std::call_once(roots_made, [] {
    for (auto& root : tree.Roots) root = std::make_shared<RegistryNode>();
  });
  return tree;
}

std::string FoldRegistryName(std::string_view name) { return LowerCaseLocale(name); }

namespace {

// Every operation on an open key holds the mutex through one of these.
class RegistryKeyAccess {
 public:
  RegistryKeyAccess(const RegistryKey::Handle& handle, std::string_view name, bool write)
      : tree_(TheRegistry()), lock_(tree_.Mutex), node_(*handle.node) {
    if (node_.Deleted) {
      throw ERegistryException(RegistryGetFailedMessage(name), kRegistryKeyDeleted);
    }
    if (write && !handle.writable) {
      throw ERegistryException(RegistrySetFailedMessage(name), kRegistryAccessDenied);
    }
  }
  RegistryNode& Node() { return node_; }
  RegistryTree& Tree() { return tree_; }

 private:
  RegistryTree& tree_;
  Lock lock_;
  RegistryNode& node_;
};

// A copy of the value when it exists with one of the kinds; raises for any other kind.
std::optional<RegistryValue> ReadTyped(const RegistryKey::Handle& handle, std::string_view name,
                                       RegistryValueKind wanted, RegistryValueKind also) {
  RegistryKeyAccess access(handle, name, false);
  const RegistryValue* value = FindValue(access.Node(), name);
  if (!value) return std::nullopt;
  if (value->Kind != wanted && value->Kind != also) {
    throw ERegistryException(InvalidRegistryTypeMessage(name), kRegistryWrongType);
  }
  return *value;
}

std::optional<RegistryValue> ReadTyped(const RegistryKey::Handle& handle, std::string_view name,
                                       RegistryValueKind wanted) {
  return ReadTyped(handle, name, wanted, wanted);
}

void Store(RegistryKey::Handle& handle, std::string_view name, RegistryValue value) {
  RegistryKeyAccess access(handle, name, true);
  value.Name = std::string(name);
  value.FoldedName = FoldRegistryName(name);
  RegistryValue* existing = FindValue(access.Node(), name);
  if (existing) {
    value.Name = existing->Name;  // the name keeps the case it was created with
    *existing = std::move(value);
  } else {
    access.Node().Values.push_back(std::move(value));
  }
  Persist(access.Tree());
}

RegistryValue TextValue(RegistryValueKind kind, std::string_view text) {
  RegistryValue value;
  value.Kind = kind;
  value.Text = std::string(text);
  return value;
}

RegistryValue NumberValue(RegistryValueKind kind, uint64_t number) {
  RegistryValue value;
  value.Kind = kind;
  value.Number = number;
  return value;
}

}  // namespace

RegistryKey::RegistryKey(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot root, std::string_view path,
                                             RegistryAccess access, SystemErrorCode* error) {
  std::vector<std::string> parts;
  if (const SystemErrorCode refused = RefusedRegistryRequest(root, path, access, parts)) {
    return FailedRegistryOpen(refused, error);
  }
  RegistryTree& tree = TheRegistry();
  Lock lock(tree.Mutex);
  std::shared_ptr<RegistryNode> node = Walk(RootNode(tree, root), parts);
  if (!node) return FailedRegistryOpen(kRegistryNotFound, error);
  return RegistryKey(std::make_unique<Handle>(node, access == RegistryAccess::ReadWrite));
}

std::optional<RegistryKey> RegistryKey::Create(RegistryRoot root, std::string_view path,
                                               SystemErrorCode* error) {
  std::vector<std::string> parts;
  if (const SystemErrorCode refused =
          RefusedRegistryRequest(root, path, RegistryAccess::ReadWrite, parts)) {
    return FailedRegistryOpen(refused, error);
  }
  RegistryTree& tree = TheRegistry();
  Lock lock(tree.Mutex);
  const bool existed = Walk(RootNode(tree, root), parts) != nullptr;
  std::shared_ptr<RegistryNode> node = WalkCreating(RootNode(tree, root), parts);
  if (!existed) Persist(tree);
  return RegistryKey(std::make_unique<Handle>(node, true));
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
  const auto value =
      ReadTyped(*handle_, name, RegistryValueKind::String, RegistryValueKind::ExpandString);
  if (!value) return std::nullopt;
  return value->Text;
}

std::optional<uint32_t> RegistryKey::ReadNumber32(std::string_view name) const {
  const auto value = ReadTyped(*handle_, name, RegistryValueKind::Number32);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(value->Number);
}

std::optional<uint64_t> RegistryKey::ReadNumber64(std::string_view name) const {
  const auto value = ReadTyped(*handle_, name, RegistryValueKind::Number64);
  if (!value) return std::nullopt;
  return value->Number;
}

std::optional<std::vector<uint8_t>> RegistryKey::ReadBinary(std::string_view name) const {
  const auto value = ReadTyped(*handle_, name, RegistryValueKind::Binary);
  if (!value) return std::nullopt;
  return value->Bytes;
}

std::optional<std::vector<std::string>> RegistryKey::ReadMultiString(std::string_view name) const {
  const auto value = ReadTyped(*handle_, name, RegistryValueKind::MultiString);
  if (!value) return std::nullopt;
  return value->Strings;
}

void RegistryKey::WriteString(std::string_view name, std::string_view value) {
  Store(*handle_, name, TextValue(RegistryValueKind::String, value));
}

void RegistryKey::WriteExpandString(std::string_view name, std::string_view value) {
  Store(*handle_, name, TextValue(RegistryValueKind::ExpandString, value));
}

void RegistryKey::WriteNumber32(std::string_view name, uint32_t value) {
  Store(*handle_, name, NumberValue(RegistryValueKind::Number32, value));
}

void RegistryKey::WriteNumber64(std::string_view name, uint64_t value) {
  Store(*handle_, name, NumberValue(RegistryValueKind::Number64, value));
}

void RegistryKey::WriteBinary(std::string_view name, std::span<const uint8_t> value) {
  RegistryValue stored;
  stored.Kind = RegistryValueKind::Binary;
  stored.Bytes.assign(value.begin(), value.end());
  Store(*handle_, name, std::move(stored));
}

void RegistryKey::WriteMultiString(std::string_view name, const std::vector<std::string>& value) {
  RegistryValue stored;
  stored.Kind = RegistryValueKind::MultiString;
  std::copy_if(value.begin(), value.end(), std::back_inserter(stored.Strings),
               [](const std::string& text) { return !text.empty(); });
  Store(*handle_, name, std::move(stored));
}

bool RegistryKey::ValueExists(std::string_view name) const { return ValueKind(name).has_value(); }

std::optional<RegistryValueKind> RegistryKey::ValueKind(std::string_view name) const {
  RegistryKeyAccess access(*handle_, name, false);
  const RegistryValue* value = FindValue(access.Node(), name);
  if (!value) return std::nullopt;
  return value->Kind;
}

bool RegistryKey::DeleteValue(std::string_view name) {
  RegistryKeyAccess access(*handle_, name, true);
  std::vector<RegistryValue>& values = access.Node().Values;
  const std::string folded = FoldRegistryName(name);
  const auto found = std::find_if(values.begin(), values.end(), [&](const RegistryValue& value) {
    return value.FoldedName == folded;
  });
  if (found == values.end()) return false;
  values.erase(found);
  Persist(access.Tree());
  return true;
}

std::vector<std::string> RegistryKey::SubKeyNames() const {
  RegistryKeyAccess access(*handle_, "", false);
  std::vector<std::string> names;
  for (const auto& [folded, child] : access.Node().Children) names.push_back(child->Name);
  return names;
}

std::vector<std::string> RegistryKey::ValueNames() const {
  RegistryKeyAccess access(*handle_, "", false);
  std::vector<std::string> names;
  for (const RegistryValue& value : access.Node().Values) names.push_back(value.Name);
  return names;
}

bool RegistryKey::KeyExists(std::string_view path) const {
  std::vector<std::string> parts;
  SystemErrorCode code = 0;
  if (!SplitRegistryPath(path, parts, code)) return false;
  RegistryKeyAccess access(*handle_, path, false);
  return Walk(handle_->node, parts) != nullptr;
}

bool RegistryKey::DeleteTree(std::string_view path) {
  std::vector<std::string> parts;
  SystemErrorCode code = 0;
  if (!SplitRegistryPath(path, parts, code) || parts.empty()) {
    throw ERegistryException("Cannot delete the registry key '" + std::string(path) + "'",
                             kRegistryBadPath);
  }
  RegistryKeyAccess access(*handle_, path, true);
  const std::string leaf = parts.back();
  parts.pop_back();
  const std::shared_ptr<RegistryNode> parent = Walk(handle_->node, parts);
  const std::shared_ptr<RegistryNode> node = parent ? FindChild(*parent, leaf) : nullptr;
  if (!node) return false;
  MarkDeleted(*node);
  parent->Children.erase(FoldRegistryName(leaf));
  Persist(access.Tree());
  return true;
}

void UseRegistryFile(const std::string& path) {
  RegistryTree& tree = TheRegistry();
  Lock lock(tree.Mutex);
  if (path.empty()) {
    tree.File.clear();
    for (auto& root : tree.Roots) {
      MarkDeleted(*root);
      root = std::make_shared<RegistryNode>();
    }
    return;
  }
  std::ifstream file(path, std::ios::binary);
  if (file) {
    std::stringstream text;
    text << file.rdbuf();
    if (file.bad()) {
      throw ERegistryException("Cannot read the registry file " + path, kCannotRead);
    }
    std::shared_ptr<RegistryNode> roots[2];
    RegistryFromText(text.str(), roots);
    for (int i = 0; i < 2; ++i) {
      MarkDeleted(*tree.Roots[i]);
      tree.Roots[i] = roots[i];
    }
  }
  tree.File = path;
}

}  // namespace chronel::platform
