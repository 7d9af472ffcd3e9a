#include "tasks/task_id.h"

#include "core/crc32.h"
#include "core/guid.h"
#include "core/numbers.h"
#include "platform/clock.h"
#include "platform/guid_generator.h"

namespace chronel {

std::string NewTaskID() {
  const std::string seed = GuidToString(platform::CreateGuid()) +
                           DateTimeToTextMs(platform::CurrentClock().LocalNow());
  return IntToHex(Crc32(seed), 8);
}

}  // namespace chronel
