// Lockable containers shared between the host's threads and the plug-in's handlers: a guarded
// object, a guarded object list and a guarded string list (thread_string_list.h), all on a
// ReadWriteLock. Each container gives mutual exclusion for itself only; a caller that needs two
// takes them in a fixed order. Hold a lock for one traversal or one change, through a Locked
// guard or a try/finally-style pairing, so an exception cannot leave it held.
#pragma once

#include <utility>

#include "platform/object_list.h"
#include "platform/read_write_lock.h"

namespace chronel::platform {

// Holds one take of a lock (shared or exclusive) and releases it when it goes out of scope.
template <typename T>
class [[nodiscard]] Locked {
 public:
  Locked(T* object, ReadWriteLock& lock, bool exclusive)
      : object_(object), lock_(&lock), exclusive_(exclusive) {}
  ~Locked() {
    if (!lock_) return;
    if (exclusive_) lock_->EndWrite();
    else lock_->EndRead();
  }
  Locked(Locked&& other) noexcept
      : object_(other.object_), lock_(std::exchange(other.lock_, nullptr)),
        exclusive_(other.exclusive_) {}
  Locked& operator=(Locked&&) = delete;

  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  T* get() const { return object_; }

 private:
  T* object_;
  ReadWriteLock* lock_;
  bool exclusive_;
};

// A lock and the object it guards (not owned; the lock is the only thing destruction frees).
// To guard a class's own fields, derive from TThreadObject<Derived> and pass `this`.
// Every method: any thread.
template <typename T>
class TThreadObject {
 public:
  explicit TThreadObject(T* guarded) : guarded_(guarded) {}
  virtual ~TThreadObject() = default;
  TThreadObject(const TThreadObject&) = delete;
  TThreadObject& operator=(const TThreadObject&) = delete;

  T* LockForRead() {
    lock_.BeginRead();
    return guarded_;
  }
  void UnlockRead() { lock_.EndRead(); }
  T* LockForWrite() {
    lock_.BeginWrite();
    return guarded_;
  }
  void UnlockWrite() { lock_.EndWrite(); }
  void Unlock() { UnlockWrite(); }

  // Scoped forms of the pairs above.
  Locked<T> Read() { return {LockForRead(), lock_, false}; }
  Locked<T> Write() { return {LockForWrite(), lock_, true}; }

 protected:
  ReadWriteLock lock_;
  T* guarded_;
};

// Guards an object list of its own; whether the list frees its objects is chosen at
// construction. Every method: any thread.
template <typename T>
class TThreadObjectList : public TThreadObject<TObjectList<T>> {
  using Base = TThreadObject<TObjectList<T>>;

 public:
  explicit TThreadObjectList(bool ownsObjects)
      : Base(nullptr), list_(new TObjectList<T>(ownsObjects)) {
    this->guarded_ = list_;
  }
  // Frees the list (and its objects when owned) under the exclusive lock.
  ~TThreadObjectList() override {
    this->lock_.BeginWrite();
    delete std::exchange(list_, nullptr);
    this->lock_.EndWrite();
  }

  TObjectList<T>* LockList() { return this->LockForWrite(); }
  TObjectList<T>* LockListRead() { return this->LockForRead(); }
  void UnlockList() { this->UnlockWrite(); }

  // Empties the list under the exclusive lock, freeing the objects when it owns them.
  void Clear() { this->Write()->Clear(); }

 private:
  TObjectList<T>* list_;
};

}  // namespace chronel::platform
