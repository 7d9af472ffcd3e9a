#include "platform/guid_generator.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "core/exception.h"

namespace chronel::platform {

TGuid CreateGuid() {
  uint8_t bytes[16];
  size_t filled = 0;
  while (filled < sizeof(bytes)) {
    const ssize_t got = getrandom(bytes + filled, sizeof(bytes) - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      throw Exception("No random numbers for a new GUID: " + std::string(strerror(errno)));
    }
    filled += static_cast<size_t>(got);
  }
  TGuid guid;
  std::memcpy(&guid.D1, bytes, 4);
  std::memcpy(&guid.D2, bytes + 4, 2);
  std::memcpy(&guid.D3, bytes + 6, 2);
  std::memcpy(guid.D4.data(), bytes + 8, 8);
  guid.D3 = static_cast<uint16_t>((guid.D3 & 0x0FFF) | 0x4000);   // version 4: random
  guid.D4[0] = static_cast<uint8_t>((guid.D4[0] & 0x3F) | 0x80);  // RFC 4122 variant
  return guid;
}

}  // namespace chronel::platform
