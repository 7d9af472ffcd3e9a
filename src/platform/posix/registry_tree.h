// The POSIX backend's registry: one in-memory tree per root, guarded by one mutex, optionally
// kept in a file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace chronel::platform {

struct RegistryValue {
  std::string Name;
  std::string FoldedName;  // for lookups: names compare without regard to case
  RegistryValueKind Kind = RegistryValueKind::String;
  std::string Text;                  // String, ExpandString
  std::vector<std::string> Strings;  // MultiString
  uint64_t Number = 0;               // Number32, Number64
  std::vector<uint8_t> Bytes;        // Binary
};

struct RegistryNode {
  std::string Name;
  std::vector<RegistryValue> Values;                              // in order of creation
  std::map<std::string, std::shared_ptr<RegistryNode>> Children;  // by folded name
  bool Deleted = false;  // set on every node of a deleted tree; open handles see it
};

struct RegistryTree {
  std::mutex Mutex;
  std::shared_ptr<RegistryNode> Roots[2];
  std::string File;  // empty: memory only
};

// The process's registry, created on first use.
RegistryTree& TheRegistry();

std::string FoldRegistryName(std::string_view name);

// Both need the tree's mutex held. The file's text holds every key and value of both roots;
// reading raises ERegistryException naming the line of the first fault.
std::string RegistryToText(const RegistryTree& tree);
void RegistryFromText(std::string_view text, std::shared_ptr<RegistryNode> (&roots)[2]);

}  // namespace chronel::platform
