#include "translation/object_translators.h"

#include <mutex>
#include <utility>
#include <vector>

namespace chronel {
namespace {

struct TRegisteredTranslator {
  const TClassInfo* Class;
  TObjectTranslator Handler;
};

struct TRegistry {
  std::mutex Mutex;
  std::vector<TRegisteredTranslator> Entries;
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

}  // namespace

void RegisterObjectTranslator(const TClassInfo& objectClass, TObjectTranslator handler) {
  TRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  registry.Entries.push_back({&objectClass, std::move(handler)});
}

TObjectTranslator FindObjectTranslator(const TObject& value) {
  TRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  for (const TRegisteredTranslator& entry : registry.Entries) {
    if (value.InheritsFrom(*entry.Class)) return entry.Handler;
  }
  return {};
}

}  // namespace chronel
