#include "plugin/pascal_string.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace chronel::plugin {
namespace {

TPascalStringHeader* HeaderOf(const char* text) {
  return reinterpret_cast<TPascalStringHeader*>(const_cast<char*>(text) -
                                                sizeof(TPascalStringHeader));
}

}  // namespace

char* NewPascalString(std::string_view text) {
  if (text.empty()) return nullptr;
  void* block = std::malloc(sizeof(TPascalStringHeader) + text.size() + 1);
  if (!block) throw std::bad_alloc();
  auto* header = static_cast<TPascalStringHeader*>(block);
  header->CodePage = kPascalStringCodePage;
  header->ElementSize = 1;
  header->RefCount = 1;
  header->Length = static_cast<int32_t>(text.size());
  char* chars = static_cast<char*>(block) + sizeof(TPascalStringHeader);
  std::memcpy(chars, text.data(), text.size());
  chars[text.size()] = '\0';
  return chars;
}

void ReleasePascalString(char* text) {
  if (!text) return;
  std::atomic_ref<int32_t> refCount(HeaderOf(text)->RefCount);
  if (refCount.load() == kPascalStringConstant) return;
  if (refCount.fetch_sub(1) != 1) return;
  std::free(HeaderOf(text));
}

std::string_view PascalStringView(const char* text) {
  if (!text) return {};
  // memcpy: the other side's header need not be aligned for us.
  int32_t length = 0;
  std::memcpy(&length, text - sizeof(int32_t), sizeof(length));
  if (length <= 0) return {};
  return std::string_view(text, static_cast<size_t>(length));
}

}  // namespace chronel::plugin
