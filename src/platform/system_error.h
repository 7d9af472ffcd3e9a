// The system error codes the platform layer hands back to its callers. They are the Win32
// values, so a code shown in a log line means the same thing on every platform.
#pragma once

#include <cstdint>

namespace chronel::platform {

using SystemErrorCode = uint32_t;

inline constexpr SystemErrorCode kErrorSuccess = 0;
inline constexpr SystemErrorCode kErrorNotEnoughMemory = 8;
inline constexpr SystemErrorCode kErrorInvalidParameter = 87;
inline constexpr SystemErrorCode kErrorInvalidName = 123;
inline constexpr SystemErrorCode kErrorInvalidWindowHandle = 1400;
inline constexpr SystemErrorCode kErrorHotKeyAlreadyRegistered = 1409;
inline constexpr SystemErrorCode kErrorHotKeyNotRegistered = 1419;
inline constexpr SystemErrorCode kErrorTimeout = 1460;

}  // namespace chronel::platform
