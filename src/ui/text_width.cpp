#include "ui/text_width.h"

namespace chronel {

int EstimatedTextWidth(std::string_view text) {
  constexpr int kAverageAdvance = 6;
  int characters = 0;
  for (const char byte : text) {
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++characters;
  }
  return characters * kAverageAdvance;
}

}  // namespace chronel
