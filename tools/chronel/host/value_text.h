// How the host shows an OLE variant it received (an event pair, a service argument).
#pragma once

#include <string>

#include "platform/variant.h"

namespace chronel::host {

// "Empty", "Null", the value as text, or "(variant type N)" when it has no text form. Never
// raises.
std::string ValueText(const platform::TVarData& value);

}  // namespace chronel::host
