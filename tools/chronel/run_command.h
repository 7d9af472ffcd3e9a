// `chronel run`: plays a host for one configuration. Loads the plug-in, sends LOAD with the
// settings location, runs the host's message loop for a while, delivers host events and
// hotkey presses at the given offsets, and prints every call and notification as a timeline;
// UNLOAD and release end the run (Ctrl+C ends it early, as cleanly).
#pragma once

#include <string>
#include <vector>

namespace chronel {

// Exit status: 0 after a clean run; 2 for bad arguments or a plug-in that does not load.
int RunRunCommand(const std::vector<std::string>& args);

}  // namespace chronel
