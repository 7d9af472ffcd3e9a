#include "core/crc32.h"

#include <zlib.h>

namespace chronel {

uint32_t Crc32(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
  size_t left = bytes.size();
  while (left > 0) {  // zlib takes at most a uInt at a time
    const uInt chunk = left > 0x40000000u ? 0x40000000u : static_cast<uInt>(left);
    crc = crc32(crc, data, chunk);
    data += chunk;
    left -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace chronel
