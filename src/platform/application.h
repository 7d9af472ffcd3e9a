// The state of the application the library lives in, as far as waits and handlers care: whether
// it is shutting down, and where errors raised by handlers of window messages go.
#pragma once

#include <exception>
#include <functional>

namespace chronel::platform {

// Set by the host side when the application is shutting down; waits that honour it give up.
// Any thread.
void SetApplicationTerminating(bool terminating);
bool ApplicationTerminating();

// The central handler for errors raised by timer, hotkey and thread handlers: the error is
// reported here and never passed on to the code that dispatched the message. Runs on the
// thread where the error was raised. Without an installed handler the message goes to stderr.
using ApplicationExceptionHandler = std::function<void(std::exception_ptr error)>;
void SetApplicationExceptionHandler(ApplicationExceptionHandler handler);  // any thread
void HandleApplicationException(std::exception_ptr error);                 // any thread

}  // namespace chronel::platform
