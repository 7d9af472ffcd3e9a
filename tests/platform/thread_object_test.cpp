#include "platform/thread_object.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/read_write_lock.h"
#include "platform/thread.h"
#include "platform/thread_string_list.h"

namespace chronel::platform {
namespace {

bool Eventually(const std::function<bool()>& done, int timeoutMs = 5000) {
  for (int waited = 0; waited < timeoutMs && !done(); waited += 5) SleepMilliseconds(5);
  return done();
}

// Starts `take` on another thread and reports whether it got through.
class Contender {
 public:
  explicit Contender(std::function<void()> take, std::function<void()> release)
      : thread_([this, take = std::move(take), release = std::move(release)] {
          take();
          inside_ = true;
          while (!leave_) SleepMilliseconds(2);
          release();
        }) {}
  ~Contender() {
    leave_ = true;
    thread_.join();
  }
  bool Inside() const { return inside_; }
  // True when it is still kept out after a while.
  bool KeptOut() const {
    SleepMilliseconds(150);
    return !inside_;
  }
  void Leave() { leave_ = true; }

 private:
  std::atomic<bool> inside_{false};
  std::atomic<bool> leave_{false};
  std::thread thread_;
};

Contender Reader(ReadWriteLock& lock) {
  return Contender([&] { lock.BeginRead(); }, [&] { lock.EndRead(); });
}
Contender Writer(ReadWriteLock& lock) {
  return Contender([&] { lock.BeginWrite(); }, [&] { lock.EndWrite(); });
}

TEST(ReadWriteLock, ReadersShareIt) {
  ReadWriteLock lock;
  lock.BeginRead();
  Contender other = Reader(lock);
  EXPECT_TRUE(Eventually([&] { return other.Inside(); }));
  lock.EndRead();
}

TEST(ReadWriteLock, AWriterKeepsReadersAndWritersOut) {
  ReadWriteLock lock;
  lock.BeginWrite();
  Contender reader = Reader(lock);
  Contender writer = Writer(lock);
  EXPECT_TRUE(reader.KeptOut());
  EXPECT_FALSE(writer.Inside());
  lock.EndWrite();
  EXPECT_TRUE(Eventually([&] { return reader.Inside() || writer.Inside(); }));
}

TEST(ReadWriteLock, AWriterWaitsForTheReaders) {
  ReadWriteLock lock;
  lock.BeginRead();
  Contender writer = Writer(lock);
  EXPECT_TRUE(writer.KeptOut());
  lock.EndRead();
  EXPECT_TRUE(Eventually([&] { return writer.Inside(); }));
}

TEST(ReadWriteLock, TheWriterMayTakeItAgainAndNeedsOneReleasePerTake) {
  ReadWriteLock lock;
  lock.BeginWrite();
  lock.BeginWrite();
  lock.BeginRead();  // the writer may also read
  lock.EndRead();
  lock.EndWrite();
  Contender reader = Reader(lock);
  EXPECT_TRUE(reader.KeptOut());
  lock.EndWrite();
  EXPECT_TRUE(Eventually([&] { return reader.Inside(); }));
}

TEST(ReadWriteLock, AReaderMayTakeItForWritingAndReleasesBoth) {
  ReadWriteLock lock;
  lock.BeginRead();
  lock.BeginWrite();  // no one else reads: at once
  Contender reader = Reader(lock);
  EXPECT_TRUE(reader.KeptOut());
  lock.EndWrite();  // still reading: other readers may join, writers may not
  EXPECT_TRUE(Eventually([&] { return reader.Inside(); }));
  reader.Leave();
  Contender writer = Writer(lock);
  EXPECT_TRUE(writer.KeptOut());
  lock.EndRead();
  EXPECT_TRUE(Eventually([&] { return writer.Inside(); }));
}

TEST(ReadWriteLock, AReaderTakingItForWritingWaitsForTheOtherReaders) {
  ReadWriteLock lock;
  std::atomic<bool> writing{false};
  Contender other = Reader(lock);
  ASSERT_TRUE(Eventually([&] { return other.Inside(); }));
  std::thread upgrader([&] {
    lock.BeginRead();
    lock.BeginWrite();
    writing = true;
    lock.EndWrite();
    lock.EndRead();
  });
  SleepMilliseconds(150);
  EXPECT_FALSE(writing);
  other.Leave();
  EXPECT_TRUE(Eventually([&] { return writing.load(); }));
  upgrader.join();
}

TEST(ReadWriteLock, TwoReadersTakingItForWritingAtOnceBothGetThrough) {
  ReadWriteLock lock;
  std::atomic<int> arrived{0}, written{0};
  auto upgrade = [&] {
    lock.BeginRead();
    ++arrived;
    while (arrived < 2) SleepMilliseconds(1);
    lock.BeginWrite();
    ++written;
    lock.EndWrite();
    lock.EndRead();
  };
  std::thread a(upgrade), b(upgrade);
  EXPECT_TRUE(Eventually([&] { return written == 2; }));
  a.join();
  b.join();
}

struct Counted {
  explicit Counted(std::atomic<int>& alive) : alive(alive) { ++alive; }
  ~Counted() { --alive; }
  std::atomic<int>& alive;
};

TEST(ThreadObjectList, AnOwningListFreesItsObjectsAndAnotherLeavesThemAlive) {
  std::atomic<int> alive{0};
  {
    TThreadObjectList<Counted> owning(true);
    owning.LockList()->Add(new Counted(alive));
    owning.UnlockList();
    owning.Write()->Add(new Counted(alive));
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);

  Counted kept(alive);
  {
    TThreadObjectList<Counted> borrowing(false);
    borrowing.Write()->Add(&kept);
    borrowing.Clear();
    borrowing.Write()->Add(&kept);
  }
  EXPECT_EQ(alive, 1);
}

TEST(ThreadObjectList, ClearEmptiesAndFreesWhenOwning) {
  std::atomic<int> alive{0};
  TThreadObjectList<Counted> list(true);
  for (int i = 0; i < 3; ++i) list.Write()->Add(new Counted(alive));
  list.Clear();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(list.LockListRead()->Count(), 0u);
  list.UnlockRead();
}

TEST(ThreadObjectList, TheHolderMayTakeItAgainWhileWalking) {
  // As a task run inside a walk of the task list looks at the list again.
  std::atomic<int> alive{0};
  TThreadObjectList<Counted> list(true);
  list.Write()->Add(new Counted(alive));
  auto walk = list.Write();
  for (Counted* item : *walk) {
    auto again = list.Write();
    EXPECT_EQ(again->IndexOf(item), 0);
  }
}

TEST(ThreadObjectList, AnErrorInsideAScopedLockReleasesIt) {
  TThreadObjectList<int> list(true);
  try {
    auto locked = list.Write();
    locked->Add(new int(1));
    throw std::runtime_error("walk failed");
  } catch (const std::runtime_error&) {
  }
  bool written = false;
  std::thread([&] {
    list.Write()->Add(new int(2));
    written = true;
  }).join();
  EXPECT_TRUE(written);
}

TEST(ObjectList, RemovingFreesButExtractingHandsOver) {
  std::atomic<int> alive{0};
  TObjectList<Counted> list(true);
  Counted* a = new Counted(alive);
  Counted* b = new Counted(alive);
  Counted* c = new Counted(alive);
  list.Add(a);
  list.Add(b);
  list.Insert(0, c);
  EXPECT_EQ(list.IndexOf(a), 1);
  EXPECT_EQ(list.Remove(a), 1);
  EXPECT_EQ(alive, 2);
  Counted* extracted = list.Extract(0);
  EXPECT_EQ(extracted, c);
  EXPECT_EQ(list.Count(), 1u);
  delete extracted;
  list.Delete(0);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(list.Remove(b), -1);
}

// A class that guards its own fields passes itself.
struct Settings : TThreadObject<Settings> {
  Settings() : TThreadObject(this) {}
  std::string name;
};

TEST(ThreadObject, HandsOutTheGuardedObjectUnderEitherLock) {
  Settings settings;
  settings.LockForWrite()->name = "a";
  settings.Unlock();
  EXPECT_EQ(settings.LockForRead()->name, "a");
  settings.UnlockRead();
  EXPECT_EQ(settings.Read()->name, "a");
}

TEST(ThreadStringList, TheHolderOfTheLockMayAddLines) {
  TThreadStringList lines;
  std::vector<std::string>* held = lines.LockList();
  held->push_back("first");
  lines.AddLine("second");  // same thread, lock held: no wait
  lines.UnlockList();
  EXPECT_EQ(*lines.Lock(), (std::vector<std::string>{"first", "second"}));
}

TEST(ThreadStringList, SetLinesTextReplacesTheContent) {
  TThreadStringList lines;
  lines.AddLine("old");
  lines.SetLinesText("a\r\nb\nc\r\n");
  EXPECT_EQ(*lines.Lock(), (std::vector<std::string>{"a", "b", "c"}));
  lines.SetLinesText("");
  EXPECT_TRUE(lines.Lock()->empty());
}

TEST(ThreadStringList, AddLineFromManyThreadsLosesNothing) {
  TThreadStringList lines;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&lines, t] {
      for (int i = 0; i < 250; ++i) lines.AddLine(std::to_string(t));
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(lines.Lock()->size(), 1000u);
}

}  // namespace
}  // namespace chronel::platform
