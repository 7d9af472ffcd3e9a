// Where a control docks inside its parent: the layout the options dialog declares for its panels,
// page area and list. The model keeps it; AlignControls lays a parent's children out by it, so a
// view only reports the size it got.
#pragma once

#include <cstdint>

#include "core/enumeration.h"

namespace chronel {

class TControl;
class TWinControl;

enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
const TEnumInfo& AlignInfo();

// The control's published Align, alNone for a class without one.
TAlign AlignOf(const TControl& control);

// Docks the visible children of `parent`, whose client area is `width` × `height`, inside that
// area less `border` on every side, and then the children of every windowed child in turn:
// top-docked ones stacked from the top in the order of their Top, bottom-docked ones from the
// bottom, left and right ones in the band between, and one client-docked control fills the rest.
// The pages of a page control fill it. A panel whose size changes hears it through OnResize.
void AlignControls(TWinControl& parent, int32_t width, int32_t height, int32_t border = 0);

}  // namespace chronel
