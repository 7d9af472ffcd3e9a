// A thread that runs one due handler of a scheduled event (signalling by worker threads) and
// frees itself when done.
#pragma once

#include "schedule/scheduled_event.h"

namespace chronel {

class TWorkerThread {
 public:
  // Any thread. Runs the handler of a run the event has counted already, also when the event
  // was stopped meanwhile; the event's destructor waits for it. Raises when the system cannot
  // start a thread.
  static void Start(TScheduledEvent& event, const TScheduledEvent::TClaimedRun& run);

  ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

 private:
  TWorkerThread(TScheduledEvent& event, const TScheduledEvent::TClaimedRun& run);
  void Execute();  // on the worker thread

  TScheduledEvent& event_;
  const TScheduledEvent::TClaimedRun run_;
};

}  // namespace chronel
