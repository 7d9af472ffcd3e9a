// A thread that runs one due handler of a scheduled event (signalling by worker threads) and
// frees itself when done.
#pragma once

namespace chronel {

class TScheduledEvent;

class TWorkerThread {
 public:
  // Any thread. Counts the run in the event, whose destructor waits for it; raises when the
  // system cannot start a thread.
  static void Start(TScheduledEvent& event);

  ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

 private:
  explicit TWorkerThread(TScheduledEvent& event);
  void Execute();  // on the worker thread

  TScheduledEvent& event_;
};

}  // namespace chronel
