// Texts from the string table of the system's user-interface library: among them the captions
// the system gives message-box buttons ("OK" is number 800, "Cancel" 801, "&Yes" 805 ...).
#pragma once

#include <cstdint>
#include <string>

namespace chronel::platform {

// The string numbered `id` in UTF-8; empty when the library is not loaded in the process or has
// no such string. The POSIX backend has no such table and always answers empty. Any thread.
std::string SystemCaption(uint32_t id);

}  // namespace chronel::platform
