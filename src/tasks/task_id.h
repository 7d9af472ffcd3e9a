// Identifiers of new tasks: eight upper-case hexadecimal digits.
#pragma once

#include <string>

namespace chronel {

// The CRC-32 (zip) of the text of a freshly made GUID followed by the current date and time.
// Any thread. Raises chronel::Exception when no GUID can be made.
std::string NewTaskID();

}  // namespace chronel
