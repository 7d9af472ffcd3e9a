// Fuzzes the escaping of stored string values: decoding any text is safe, and every value
// survives encoding and decoding unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tasks/value_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  chronel::DecodeValue(input);
  const std::string encoded = chronel::EncodeValue(input);
  for (char c : encoded) {
    if (static_cast<unsigned char>(c) < 32) __builtin_trap();  // no line breaks or controls
  }
  if (!encoded.empty() && (encoded.front() == ' ' || encoded.back() == ' ')) __builtin_trap();
  if (chronel::DecodeValue(encoded) != input) __builtin_trap();
  return 0;
}
