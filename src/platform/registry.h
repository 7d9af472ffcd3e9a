// The settings registry: keys under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE holding typed,
// named values. Windows uses its registry; elsewhere an in-memory tree per process stands in,
// optionally kept in a file.
//
// Text is UTF-8 on this side of the interface; text that is not valid UTF-8 is stored 8-bit text
// and is taken as the ANSI code page (StoredTextToUtf16), so two such names stay two names. Key
// paths are sub-key names separated by "\" (no leading "\"; an empty path is the root itself).
// Key and value names compare without regard to case and keep the case they were created with;
// the empty value name is the key's default value.
//
// Threads: every function may be called from any thread. A RegistryKey may be used from any
// thread, but one object must not be used by two threads at the same time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/exception.h"
#include "platform/system_error.h"

namespace chronel::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// The stored type of a value; the numbers are those of the Windows registry.
enum class RegistryValueKind : uint32_t {
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ (read back as written; nothing is expanded)
  Binary = 3,        // REG_BINARY
  Number32 = 4,      // REG_DWORD
  MultiString = 7,   // REG_MULTI_SZ
  Number64 = 11,     // REG_QWORD
};

enum class RegistryAccess {
  Read,      // read values and enumerate
  ReadWrite  // everything: read, write, create and delete below the key
};

// Why a registry operation failed. These are the Windows error codes, which the in-memory
// registry reports too; the Windows registry may also report others.
inline constexpr SystemErrorCode kRegistryNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr SystemErrorCode kRegistryAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr SystemErrorCode kRegistryWrongType = 13;     // ERROR_INVALID_DATA
inline constexpr SystemErrorCode kRegistryBadPath = 161;      // ERROR_BAD_PATHNAME
inline constexpr SystemErrorCode kRegistryKeyDeleted = 1018;  // ERROR_KEY_DELETED
// Levels of keys below a root: the depth Windows allows, which bounds the in-memory registry's
// trees and the work of walking them.
inline constexpr size_t kRegistryMaxDepth = 512;

// A failed read, write or delete on an open key.
class ERegistryException : public Exception {
 public:
  ERegistryException(const std::string& message, SystemErrorCode code)
      : Exception(message), code_(code) {}
  SystemErrorCode Code() const { return code_; }

 private:
  SystemErrorCode code_;
};

// An open registry key; closing happens on destruction. Movable, not copyable.
class RegistryKey {
 public:
  // Opens an existing key. Nothing when it cannot be opened; `error` (if given) then receives
  // the reason: kRegistryNotFound, kRegistryAccessDenied (for instance ReadWrite on a root
  // that refuses writes), kRegistryBadPath (an empty part in `path`, or more than
  // kRegistryMaxDepth parts).
  static std::optional<RegistryKey> Open(RegistryRoot root, std::string_view path,
                                         RegistryAccess access, SystemErrorCode* error = nullptr);
  // Opens the key with ReadWrite access, creating it and any missing parents first.
  static std::optional<RegistryKey> Create(RegistryRoot root, std::string_view path,
                                           SystemErrorCode* error = nullptr);

  RegistryKey(RegistryKey&&) noexcept;
  RegistryKey& operator=(RegistryKey&&) noexcept;
  ~RegistryKey();

  // Reads return nothing when the value does not exist and raise ERegistryException with
  // kRegistryWrongType when it exists with another type. ReadString accepts String and
  // ExpandString; ReadFloat reads an 8-byte Binary value holding a double.
  std::optional<std::string> ReadString(std::string_view name) const;
  std::optional<uint32_t> ReadNumber32(std::string_view name) const;
  std::optional<uint64_t> ReadNumber64(std::string_view name) const;
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const;
  std::optional<std::vector<std::string>> ReadMultiString(std::string_view name) const;
  std::optional<double> ReadFloat(std::string_view name) const;

  // Writes replace any value of the same name, whatever its type. They raise
  // ERegistryException (kRegistryAccessDenied on a key opened for reading). A multi-string cannot
  // hold an empty string (it would end the list): empty entries are dropped.
  void WriteString(std::string_view name, std::string_view value);
  void WriteExpandString(std::string_view name, std::string_view value);
  void WriteNumber32(std::string_view name, uint32_t value);
  void WriteNumber64(std::string_view name, uint64_t value);
  void WriteBinary(std::string_view name, std::span<const uint8_t> value);
  void WriteMultiString(std::string_view name, const std::vector<std::string>& value);
  void WriteFloat(std::string_view name, double value);

  bool ValueExists(std::string_view name) const;
  // The type of a stored value; nothing when it does not exist.
  std::optional<RegistryValueKind> ValueKind(std::string_view name) const;
  // False when there was no such value; raises on any other failure.
  bool DeleteValue(std::string_view name);

  // Names of the direct sub-keys, in alphabetical order without regard to case, and of the
  // values, in no defined order (Windows gives them as it stores them; the POSIX registry in
  // the order they were first written).
  std::vector<std::string> SubKeyNames() const;
  std::vector<std::string> ValueNames() const;

  // Whether the sub-key at `path` (relative to this key) exists.
  bool KeyExists(std::string_view path) const;
  // Deletes the sub-key at `path` with all its values and sub-keys. False when there was no
  // such key; raises on any other failure. Needs ReadWrite access.
  bool DeleteTree(std::string_view path);

  class Handle;  // backend state

 private:
  explicit RegistryKey(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

// Whole-key convenience: deletes `path` under `root` with everything below it. False when
// there was no such key. An empty path is refused (kRegistryBadPath): a root cannot be deleted.
bool DeleteRegistryTree(RegistryRoot root, std::string_view path);

// Keeps the registry in `path` (POSIX): loads the file now, if it exists, replacing what is in
// memory, and rewrites it after every change (through a temporary file and a rename, so a
// crash never leaves half a file). An empty path stops using a file and empties the registry.
// On Windows the registry keeps itself and this does nothing. Call it before other threads use
// the registry. Raises ERegistryException when an existing file cannot be read.
void UseRegistryFile(const std::string& path);

// Makes HKEY_LOCAL_MACHINE refuse writes, as it does for a user without administrator rights:
// opening it with ReadWrite access or creating keys there then fails with kRegistryAccessDenied,
// while reading still works. Both backends honour it, so the fallback from the machine-wide to the
// per-user branch can be tested where HKLM is writable (Wine).
void SetLocalMachineReadOnlyForTesting(bool read_only);

}  // namespace chronel::platform
