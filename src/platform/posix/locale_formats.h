// The POSIX backend's table of locale formats, shared by the locale services and the variant
// conversions.
#pragma once

#include <array>

#include "platform/locale_services.h"

namespace chronel::platform {

struct LocaleFormats {
  LocaleId Id;
  char16_t DecimalSeparator;
  char16_t ThousandSeparator;
  const char16_t* CurrencySymbol;
  std::array<const char*, 7> ShortDayNames;  // Monday first
};

// The formats of the calling thread's locale (English for a locale the table lacks).
const LocaleFormats& ThreadLocaleFormats();

}  // namespace chronel::platform
