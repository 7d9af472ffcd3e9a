// Where a control docks inside its parent: the layout the options dialog declares for its panels,
// page area and list. A view lays the controls out by it; the model only keeps it.
#pragma once

#include <cstdint>

#include "core/enumeration.h"

namespace chronel {

enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
const TEnumInfo& AlignInfo();

}  // namespace chronel
