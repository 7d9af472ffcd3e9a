#include "platform/key_press.h"

namespace chronel::platform {

bool SendKeyPress(uint32_t, uint32_t) { return false; }

}  // namespace chronel::platform
