#include "platform/system_captions.h"

namespace chronel::platform {

// There is no system string table: callers keep their own captions.
std::string SystemCaption(uint32_t id) { return {}; }

}  // namespace chronel::platform
