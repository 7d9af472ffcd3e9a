// The system's global atom table: a 16-bit number for a name, counted per addition. Libraries
// take their hotkey ids from it so they cannot clash with the host's own ids.
#pragma once

#include <cstdint>
#include <string>

namespace chronel::platform {

using Atom = uint16_t;

// Adds the name (or counts one more use of it) and answers its atom (0xC000..0xFFFF), or 0
// with `error` set when the system refuses. Names compare without regard to ASCII case.
// Any thread.
Atom AddGlobalAtom(const std::string& name, uint32_t* error = nullptr);

// Counts one use less; the atom disappears with its last use. Any thread.
void DeleteGlobalAtom(Atom atom);

}  // namespace chronel::platform
