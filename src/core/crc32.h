// CRC-32 of zip (ISO 3309), the checksum that seeds new task identifiers.
#pragma once

#include <cstdint>
#include <string_view>

namespace chronel {

uint32_t Crc32(std::string_view bytes);

}  // namespace chronel
