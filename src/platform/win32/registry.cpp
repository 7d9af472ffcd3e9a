#include "platform/registry.h"

#include <cstring>

#include "core/utf.h"
#include "platform/code_page.h"
#include "platform/registry_rules.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

class RegistryKey::Handle {
 public:
  explicit Handle(HKEY key) : key(key) {}
  ~Handle() { RegCloseKey(key); }
  HKEY key;
};

namespace {

// Names and text that are not UTF-8 are stored 8-bit text in the ANSI code page; decoded as
// UTF-8 every such name would become the same run of U+FFFD.
std::wstring Wide(std::string_view text) {
  const std::u16string wide = StoredTextToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(const wchar_t* text, size_t length) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

// The stored type and bytes of a value; false when it does not exist.
bool QueryValue(HKEY key, std::string_view name, DWORD& type, std::vector<uint8_t>& data) {
  const std::wstring wide_name = Wide(name);
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExW(key, wide_name.c_str(), nullptr, &type,
                                         data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_FILE_NOT_FOUND) return false;
    if (result == ERROR_SUCCESS && (!data.empty() || size == 0)) {
      data.resize(size);
      return true;
    }
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
      throw ERegistryException(RegistryGetFailedMessage(name),
                               static_cast<SystemErrorCode>(result));
    }
    data.resize(size + sizeof(wchar_t));  // the value may have grown meanwhile: ask again
  }
}

// The value's bytes when it has one of the two types; raises for any other type.
std::optional<std::vector<uint8_t>> ReadTyped(HKEY key, std::string_view name, DWORD wanted,
                                              DWORD also = REG_NONE) {
  DWORD type = REG_NONE;
  std::vector<uint8_t> data;
  if (!QueryValue(key, name, type, data)) return std::nullopt;
  if (type != wanted && (also == REG_NONE || type != also)) {
    throw ERegistryException(InvalidRegistryTypeMessage(name), kRegistryWrongType);
  }
  return data;
}

std::u16string_view Characters(const std::vector<uint8_t>& data) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(data.data()),
                             data.size() / sizeof(char16_t));
}

void SetValue(HKEY key, std::string_view name, DWORD type, const void* data, size_t size) {
  const LONG result = RegSetValueExW(key, Wide(name).c_str(), 0, type,
                                     static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  if (result != ERROR_SUCCESS) {
    throw ERegistryException(RegistrySetFailedMessage(name), static_cast<SystemErrorCode>(result));
  }
}

void SetText(HKEY key, std::string_view name, DWORD type, std::string_view value) {
  const std::wstring wide = Wide(value);
  SetValue(key, name, type, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
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
  const REGSAM rights = access == RegistryAccess::Read ? KEY_READ : KEY_ALL_ACCESS;
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExW(RootKey(root), Wide(path).c_str(), 0, rights, &key);
  if (result != ERROR_SUCCESS) return FailedRegistryOpen(static_cast<SystemErrorCode>(result), error);
  return RegistryKey(std::make_unique<Handle>(key));
}

std::optional<RegistryKey> RegistryKey::Create(RegistryRoot root, std::string_view path,
                                               SystemErrorCode* error) {
  std::vector<std::string> parts;
  if (const SystemErrorCode refused =
          RefusedRegistryRequest(root, path, RegistryAccess::ReadWrite, parts)) {
    return FailedRegistryOpen(refused, error);
  }
  HKEY key = nullptr;
  const LONG result =
      RegCreateKeyExW(RootKey(root), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return FailedRegistryOpen(static_cast<SystemErrorCode>(result), error);
  return RegistryKey(std::make_unique<Handle>(key));
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
  const auto data = ReadTyped(handle_->key, name, REG_SZ, REG_EXPAND_SZ);
  if (!data) return std::nullopt;
  std::u16string_view text = Characters(*data);
  while (!text.empty() && text.back() == u'\0') text.remove_suffix(1);
  return Utf16ToUtf8(text);
}

std::optional<uint32_t> RegistryKey::ReadNumber32(std::string_view name) const {
  const auto data = ReadTyped(handle_->key, name, REG_DWORD);
  if (!data) return std::nullopt;
  if (data->size() != sizeof(uint32_t)) {
    throw ERegistryException(InvalidRegistryTypeMessage(name), kRegistryWrongType);
  }
  uint32_t value = 0;
  std::memcpy(&value, data->data(), sizeof(value));
  return value;
}

std::optional<uint64_t> RegistryKey::ReadNumber64(std::string_view name) const {
  const auto data = ReadTyped(handle_->key, name, REG_QWORD);
  if (!data) return std::nullopt;
  if (data->size() != sizeof(uint64_t)) {
    throw ERegistryException(InvalidRegistryTypeMessage(name), kRegistryWrongType);
  }
  uint64_t value = 0;
  std::memcpy(&value, data->data(), sizeof(value));
  return value;
}

std::optional<std::vector<uint8_t>> RegistryKey::ReadBinary(std::string_view name) const {
  return ReadTyped(handle_->key, name, REG_BINARY);
}

std::optional<std::vector<std::string>> RegistryKey::ReadMultiString(std::string_view name) const {
  const auto data = ReadTyped(handle_->key, name, REG_MULTI_SZ);
  if (!data) return std::nullopt;
  std::vector<std::string> strings;
  std::u16string_view rest = Characters(*data);
  // Each string ends with a NUL; an empty string ends the list.
  while (!rest.empty() && rest.front() != u'\0') {
    const size_t end = rest.find(u'\0');
    strings.push_back(Utf16ToUtf8(rest.substr(0, end)));
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return strings;
}

void RegistryKey::WriteString(std::string_view name, std::string_view value) {
  SetText(handle_->key, name, REG_SZ, value);
}

void RegistryKey::WriteExpandString(std::string_view name, std::string_view value) {
  SetText(handle_->key, name, REG_EXPAND_SZ, value);
}

void RegistryKey::WriteNumber32(std::string_view name, uint32_t value) {
  SetValue(handle_->key, name, REG_DWORD, &value, sizeof(value));
}

void RegistryKey::WriteNumber64(std::string_view name, uint64_t value) {
  SetValue(handle_->key, name, REG_QWORD, &value, sizeof(value));
}

void RegistryKey::WriteBinary(std::string_view name, std::span<const uint8_t> value) {
  SetValue(handle_->key, name, REG_BINARY, value.data(), value.size());
}

void RegistryKey::WriteMultiString(std::string_view name, const std::vector<std::string>& value) {
  std::wstring data;
  for (const std::string& text : value) {
    if (text.empty()) continue;
    data += Wide(text);
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  SetValue(handle_->key, name, REG_MULTI_SZ, data.data(), data.size() * sizeof(wchar_t));
}

bool RegistryKey::ValueExists(std::string_view name) const { return ValueKind(name).has_value(); }

std::optional<RegistryValueKind> RegistryKey::ValueKind(std::string_view name) const {
  DWORD type = REG_NONE;
  const LONG result =
      RegQueryValueExW(handle_->key, Wide(name).c_str(), nullptr, &type, nullptr, nullptr);
  if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (result != ERROR_SUCCESS) {
    throw ERegistryException(RegistryGetFailedMessage(name), static_cast<SystemErrorCode>(result));
  }
  return static_cast<RegistryValueKind>(type);
}

bool RegistryKey::DeleteValue(std::string_view name) {
  const LONG result = RegDeleteValueW(handle_->key, Wide(name).c_str());
  if (result == ERROR_FILE_NOT_FOUND) return false;
  if (result != ERROR_SUCCESS) {
    throw ERegistryException(RegistrySetFailedMessage(name), static_cast<SystemErrorCode>(result));
  }
  return true;
}

std::vector<std::string> RegistryKey::SubKeyNames() const {
  std::vector<std::string> names;
  wchar_t name[256];  // the longest key name is 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = 256;
    const LONG result =
        RegEnumKeyExW(handle_->key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return names;
    if (result != ERROR_SUCCESS) {
      throw ERegistryException("Cannot list the registry sub-keys",
                               static_cast<SystemErrorCode>(result));
    }
    names.push_back(Narrow(name, length));
  }
}

std::vector<std::string> RegistryKey::ValueNames() const {
  std::vector<std::string> names;
  DWORD longest = 0;
  RegQueryInfoKeyW(handle_->key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &longest, nullptr, nullptr, nullptr);
  std::wstring name(longest + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG result = RegEnumValueW(handle_->key, index, name.data(), &length, nullptr, nullptr,
                                      nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return names;
    if (result == ERROR_MORE_DATA) {  // a longer name was added meanwhile
      name.resize(name.size() * 2);
      --index;
      continue;
    }
    if (result != ERROR_SUCCESS) {
      throw ERegistryException("Cannot list the registry values",
                               static_cast<SystemErrorCode>(result));
    }
    names.push_back(Narrow(name.c_str(), length));
  }
}

bool RegistryKey::KeyExists(std::string_view path) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(handle_->key, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool RegistryKey::DeleteTree(std::string_view path) {
  std::vector<std::string> parts;
  SystemErrorCode code = 0;
  if (!SplitRegistryPath(path, parts, code) || parts.empty()) {
    throw ERegistryException("Cannot delete the registry key '" + std::string(path) + "'",
                             kRegistryBadPath);
  }
  const LONG result = RegDeleteTreeW(handle_->key, Wide(path).c_str());
  if (result == ERROR_FILE_NOT_FOUND) return false;
  if (result != ERROR_SUCCESS) {
    throw ERegistryException("Cannot delete the registry key '" + std::string(path) + "'",
                             static_cast<SystemErrorCode>(result));
  }
  return true;
}

void UseRegistryFile(const std::string&) {}

}  // namespace chronel::platform
