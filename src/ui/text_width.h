// How wide a caption is in the dialog's font (8-point MS Sans Serif), for buttons sized to their
// captions. The model estimates it; a window over the model lays its buttons out with the real
// measure of its font.
#pragma once

#include <string_view>

namespace chronel {

// Pixels: 6 per character (a UTF-8 sequence counts once), the font's average advance rounded up.
int EstimatedTextWidth(std::string_view text);

}  // namespace chronel
