#include "tasks/registry_storage.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace chronel {
namespace {

using platform::RegistryAccess;
using platform::RegistryKey;

std::optional<RegistryKey> OpenKey(platform::RegistryRoot root, std::string_view path,
                                   bool create) {
  return create ? RegistryKey::Create(root, path)
                : RegistryKey::Open(root, path, RegistryAccess::ReadWrite);
}

class TRegistryStorage final : public TSettingsStorage {
 public:
  TRegistryStorage(platform::RegistryRoot root, std::string base_path)
      : root_(root), base_path_(std::move(base_path)) {}

  bool Locate(const std::vector<std::string>& sub_keys, bool, bool create) override {
    key_.reset();
    key_path_ = base_path_;
    for (const std::string& sub_key : sub_keys) {
      if (!key_path_.empty()) key_path_ += '\\';
      key_path_ += sub_key;
    }
    key_ = OpenKey(root_, key_path_, create);
    return key_.has_value();
  }

  bool ValueExists(std::string_view name) override { return key_->ValueExists(name); }

  int32_t ReadInteger(std::string_view name) override {
    return static_cast<int32_t>(Required(key_->ReadNumber32(name)));
  }
  double ReadFloat(std::string_view name) override { return Required(key_->ReadFloat(name)); }
  std::string ReadString(std::string_view name) override {
    return Required(key_->ReadString(name));
  }

  void WriteInteger(std::string_view name, int32_t value) override {
    key_->WriteNumber32(name, static_cast<uint32_t>(value));
  }
  void WriteFloat(std::string_view name, double value) override { key_->WriteFloat(name, value); }
  void WriteString(std::string_view name, std::string_view value) override {
    key_->WriteString(name, value);
  }
  void DeleteValue(std::string_view name) override { key_->DeleteValue(name); }

  void DiscardValue(std::string_view name) override {
    try {
      if (key_) key_->DeleteValue(name);
    } catch (const std::exception&) {
      // Nothing more can be done about a value that cannot be deleted either.
    }
  }

  // The key tree of that name, or else the value; a key left with nothing in it goes too.
  void DeleteEntry(std::string_view name) override {
    if (key_->KeyExists(name)) {
      key_->DeleteTree(name);
      return;
    }
    key_->DeleteValue(name);
    if (key_path_.empty() || !key_->SubKeyNames().empty() || !key_->ValueNames().empty()) return;
    key_.reset();
    platform::DeleteRegistryTree(root_, key_path_);
  }

  std::vector<std::string> SubKeyNames() override { return key_->SubKeyNames(); }
  std::vector<std::string> ValueNames() override { return key_->ValueNames(); }
  bool Close() override { return true; }

 private:
  template <typename T>
  static T Required(std::optional<T> value) {
    if (!value) {
      throw platform::ERegistryException("Value does not exist", platform::kRegistryNotFound);
    }
    return std::move(*value);
  }

  platform::RegistryRoot root_;
  std::string base_path_;
  std::string key_path_;
  std::optional<RegistryKey> key_;
};

}  // namespace

std::unique_ptr<TSettingsStorage> OpenRegistryStorage(TRegistryRoot first, TRegistryRoot second,
                                                      std::string_view registry_path,
                                                      bool create) {
  std::string_view path = registry_path;
  if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  for (TRegistryRoot candidate : {first, second}) {
    const std::optional<platform::RegistryRoot> root = SettingsRoot(candidate);
    if (!root || !OpenKey(*root, path, create)) continue;
    return std::make_unique<TRegistryStorage>(*root, std::string(path));
  }
  return nullptr;
}

}  // namespace chronel
