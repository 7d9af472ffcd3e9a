// The input is a message text as a translator might write it, formatted against a fixed set of
// arguments of every kind. Only the formatting error is an expected outcome; anything else
// (another exception, a sanitizer report, an out-of-memory) surfaces as a crash.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "core/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int kAnchor = 0;
  const chronel::FormatArg args[] = {
      42,
      -7,
      std::numeric_limits<int64_t>::min(),
      std::numeric_limits<uint64_t>::max(),
      3.5,
      -1e300,
      5e-324,
      std::numeric_limits<double>::quiet_NaN(),
      "text",
      "Grüße ✓",
      &kAnchor,
      nullptr,
      2,
  };
  chronel::TFormatSettings settings;
  if (size > 0 && data[0] == '#') {  // a second set of settings, chosen by the input
    settings.DecimalSeparator = ',';
    settings.ThousandSeparator = '\0';
    settings.CurrencyString = "€";
    settings.CurrencyDecimals = -3;
    settings.CurrencyFormat = chronel::TCurrencyFormat::SuffixSpace;
  }
  const std::string_view format(reinterpret_cast<const char*>(data), size);
  try {
    chronel::Format(format, args, settings);
  } catch (const chronel::EFormatError&) {
  }
  return 0;
}
