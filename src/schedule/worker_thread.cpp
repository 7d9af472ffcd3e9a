#include "schedule/worker_thread.h"

#include <memory>
#include <mutex>

#include "platform/thread.h"
#include "schedule/scheduled_event.h"

namespace chronel {
namespace {

// Handlers run user code (task actions), so they get an ordinary stack, not the waiting
// threads' small one.
constexpr std::size_t kWorkerStack = 1024 * 1024;

}  // namespace

TWorkerThread::TWorkerThread(TScheduledEvent& event, const TScheduledEvent::TClaimedRun& run)
    : event_(event), run_(run) {
  std::lock_guard lock(event_.workers_.mutex);
  ++event_.workers_.count;
}

TWorkerThread::~TWorkerThread() {
  // Notified under the lock: once it is released the event may already be gone.
  std::lock_guard lock(event_.workers_.mutex);
  --event_.workers_.count;
  event_.workers_.idle.notify_all();
}

void TWorkerThread::Execute() { event_.RunClaimed(run_); }

void TWorkerThread::Start(TScheduledEvent& event, const TScheduledEvent::TClaimedRun& run) {
  std::shared_ptr<TWorkerThread> worker(new TWorkerThread(event, run));
  platform::Thread::Start(
      [worker]() mutable {
        worker->Execute();
        worker.reset();  // frees itself before the thread ends, so the event may go
      },
      kWorkerStack)
      .Detach();
}

}  // namespace chronel
