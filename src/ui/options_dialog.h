// The plug-in's options dialog as the host asks for it: the task editor shown modally over the
// host's window. Windows has one; elsewhere the library answers that there is none.
#pragma once

#include <cstdint>

namespace chronel {

class TaPlugin;

// Creates the task editor of `module`, shows it modally over the module's owner window (the
// host window passed as OWNERFORM) and frees it; answers how it was left (mrOk, mrCancel).
int32_t ShowOptionsDialog(TaPlugin& module);

}  // namespace chronel
