// New globally unique identifiers (random, version 4), as CoCreateGuid makes them.
//
// Threads: any thread.
#pragma once

#include "core/guid.h"

namespace chronel::platform {

// Windows: CoCreateGuid. POSIX: 122 bits from the operating system's random source with the
// version (4) and variant (RFC 4122) bits set. Raises chronel::Exception when no random bits
// can be had.
TGuid CreateGuid();

}  // namespace chronel::platform
