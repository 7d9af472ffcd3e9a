#include "platform/application.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <stdexcept>

namespace chronel::platform {
namespace {

std::atomic<bool> terminating{false};

// Leaked on purpose: handlers may report errors while the process exits.
struct HandlerSlot {
  std::mutex mutex;
  ApplicationExceptionHandler handler;
};

HandlerSlot& Slot() {
  static HandlerSlot* slot = new HandlerSlot;
  return *slot;
}

void ReportToStandardError(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "chronel: unhandled error in a handler: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "chronel: unhandled error in a handler\n");
  }
}

}  // namespace

void SetApplicationTerminating(bool value) { terminating.store(value); }

bool ApplicationTerminating() { return terminating.load(); }

void SetApplicationExceptionHandler(ApplicationExceptionHandler handler) {
  std::lock_guard lock(Slot().mutex);
  Slot().handler = std::move(handler);
}

void HandleApplicationException(std::exception_ptr error) {
  if (!error) return;
  ApplicationExceptionHandler handler;
  {
    std::lock_guard lock(Slot().mutex);
    handler = Slot().handler;
  }
  if (!handler) {
    ReportToStandardError(error);
    return;
  }
  // The central handler is the last stop: an error it raises itself has nowhere to go.
  try {
    handler(error);
  } catch (...) {
    ReportToStandardError(std::current_exception());
  }
}

}  // namespace chronel::platform
