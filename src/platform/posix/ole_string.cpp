#include "platform/ole_string.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace chronel::platform {
namespace {

// As on Windows: the byte length sits right before the characters, and on 64-bit systems the
// block starts 8 bytes earlier so that the characters stay 8-byte aligned.
constexpr size_t kHeader = sizeof(void*) == 8 ? 8 : 4;

uint32_t& LengthPrefix(const OleChar* text) {
  return *reinterpret_cast<uint32_t*>(const_cast<char*>(reinterpret_cast<const char*>(text)) -
                                      sizeof(uint32_t));
}

}  // namespace

OleChar* AllocOleString(std::u16string_view text) {
  const size_t bytes = text.size() * sizeof(OleChar);
  if (bytes > UINT32_MAX - kHeader - sizeof(OleChar)) throw std::bad_alloc();
  char* block = static_cast<char*>(std::malloc(kHeader + bytes + sizeof(OleChar)));
  if (!block) throw std::bad_alloc();
  auto* characters = reinterpret_cast<OleChar*>(block + kHeader);
  if (bytes) std::memcpy(characters, text.data(), bytes);
  characters[text.size()] = u'\0';
  LengthPrefix(characters) = static_cast<uint32_t>(bytes);
  return characters;
}

void FreeOleString(OleChar* text) {
  if (!text) return;
  std::free(reinterpret_cast<char*>(text) - kHeader);
}

uint32_t OleStringLength(const OleChar* text) {
  if (!text) return 0;
  return LengthPrefix(text) / sizeof(OleChar);
}

}  // namespace chronel::platform
