#include "platform/global_atom.h"

#include <map>
#include <mutex>

#include "core/text.h"
#include "platform/system_error.h"

namespace chronel::platform {
namespace {

constexpr Atom kFirstAtom = 0xC000;
constexpr std::size_t kMaxAtomName = 255;

struct Entry {
  Atom Value;
  int Uses;
};

struct AtomTable {
  std::mutex mutex;
  std::map<std::string, Entry> byName;  // keyed by the upper-cased name
  std::map<Atom, std::string> byAtom;
};

AtomTable& TheTable() {
  static AtomTable* table = new AtomTable;
  return *table;
}

// The lowest free atom, or 0 when the table is full. Atoms in use without a gap are passed at
// once: walking them one by one made adding thousands of atoms (one per hotkey) quadratic.
Atom FreeAtom(const AtomTable& table) {
  const std::map<Atom, std::string>& atoms = table.byAtom;
  uint32_t candidate = kFirstAtom;
  if (!atoms.empty() && atoms.rbegin()->first - kFirstAtom + 1u == atoms.size()) {
    candidate += static_cast<uint32_t>(atoms.size());
  } else {
    for (const auto& [atom, name] : atoms) {
      if (atom != candidate) break;
      ++candidate;
    }
  }
  return candidate > 0xFFFF ? 0 : static_cast<Atom>(candidate);
}

Atom Fail(uint32_t* error, uint32_t code) {
  if (error) *error = code;
  return 0;
}

}  // namespace

Atom AddGlobalAtom(const std::string& name, uint32_t* error) {
  if (name.empty() || name.size() > kMaxAtomName) return Fail(error, kErrorInvalidName);
  AtomTable& table = TheTable();
  std::lock_guard lock(table.mutex);
  const std::string key = UpperCaseAscii(name);
  if (auto found = table.byName.find(key); found != table.byName.end()) {
    ++found->second.Uses;
    return found->second.Value;
  }
  const Atom atom = FreeAtom(table);
  if (atom == 0) return Fail(error, kErrorNotEnoughMemory);
  table.byName.emplace(key, Entry{atom, 1});
  table.byAtom.emplace(atom, key);
  if (error) *error = kErrorSuccess;
  return atom;
}

void DeleteGlobalAtom(Atom atom) {
  AtomTable& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto byAtom = table.byAtom.find(atom);
  if (byAtom == table.byAtom.end()) return;
  auto byName = table.byName.find(byAtom->second);
  if (--byName->second.Uses > 0) return;
  table.byName.erase(byName);
  table.byAtom.erase(byAtom);
}

}  // namespace chronel::platform
