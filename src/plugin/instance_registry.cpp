#include "plugin/instance_registry.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/read_write_lock.h"
#include "platform/time_change.h"

namespace chronel::plugin {
namespace {

// Unloading the library frees every instance still listed.
class TInstanceList {
 public:
  ~TInstanceList() { Close(); }

  TInstanceRef Find(const TPluginCallRec* block);
  void ForEach(const std::function<void(TkivPlugin&)>& visit);
  void Close();

 private:
  // Both take the lock for writing and look again: another reader may have changed the list
  // between their read and their write.
  TInstanceRef Create(const TPluginCallRec* block);
  TInstanceRef Remove(int32_t instanceId);
  std::vector<TInstanceRef>::iterator Entry(int32_t instanceId);

  platform::ReadWriteLock lock_;
  std::vector<TInstanceRef> instances_;
  bool closed_ = false;
};

std::unique_ptr<TkivPlugin> CreateBasePlugin(const TPluginCallRec* block) {
  return CreatePlugin<TkivPlugin>(block);
}

std::atomic<TPluginClass> pluginClass{CreateBasePlugin};

TInstanceList& Instances() {
  static TInstanceList list;
  return list;
}

std::vector<TInstanceRef>::iterator TInstanceList::Entry(int32_t instanceId) {
  return std::find_if(instances_.begin(), instances_.end(), [instanceId](const auto& instance) {
    return instance->InstanceID() == instanceId;
  });
}

TInstanceRef TInstanceList::Find(const TPluginCallRec* block) {
  if (block->InstanceID == 0) return nullptr;
  // A released instance is freed here once the lock is given back, or when the last call
  // holding it returns. Never under the lock: freeing waits for the thread that owns the
  // instance's windows, and that thread may be waiting for the lock in a call of its own.
  TInstanceRef released;
  lock_.BeginRead();
  platform::Locked<TInstanceList> read(this, lock_, false);
  if (closed_) return nullptr;
  const bool release = block->Release == kReleaseInstance;
  if (const auto entry = Entry(block->InstanceID); entry != instances_.end()) {
    if (!release) return *entry;
    released = Remove(block->InstanceID);
    return nullptr;
  }
  if (release) return nullptr;
  return Create(block);
}

TInstanceRef TInstanceList::Create(const TPluginCallRec* block) {
  lock_.BeginWrite();
  TInstanceRef instance;
  try {
    if (const auto entry = Entry(block->InstanceID); entry != instances_.end()) {
      instance = *entry;  // made by another call meanwhile
    } else if (!closed_) {
      instance = pluginClass.load()(block);
      instance->SetInstanceID(block->InstanceID);
      instances_.push_back(instance);
    }
  } catch (const std::exception&) {
    instance.reset();  // no instance; the next call tries again
  }
  lock_.EndWrite();
  return instance;
}

TInstanceRef TInstanceList::Remove(int32_t instanceId) {
  lock_.BeginWrite();
  TInstanceRef removed;
  if (const auto entry = Entry(instanceId); entry != instances_.end()) {
    removed = std::move(*entry);
    instances_.erase(entry);
  }
  const bool last = instances_.empty();
  lock_.EndWrite();
  if (last) platform::StopTimeChangeWatcher();
  return removed;
}

void TInstanceList::ForEach(const std::function<void(TkivPlugin&)>& visit) {
  lock_.BeginRead();
  platform::Locked<TInstanceList> read(this, lock_, false);
  for (const TInstanceRef& instance : instances_) visit(*instance);
}

void TInstanceList::Close() {
  std::vector<TInstanceRef> left;
  lock_.BeginWrite();
  closed_ = true;
  left.swap(instances_);
  lock_.EndWrite();
  left.clear();
  platform::StopTimeChangeWatcher();
}

}  // namespace

void RegisterPluginClass(TPluginClass created) { pluginClass = created; }

TInstanceRef FindInstance(const TPluginCallRec* block) { return Instances().Find(block); }

void ForEachInstance(const std::function<void(TkivPlugin&)>& visit) { Instances().ForEach(visit); }

}  // namespace chronel::plugin
