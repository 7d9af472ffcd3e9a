// Private to the Win32 backend: the module our code lives in (the plug-in DLL, or the program
// it is linked into), which owns our window classes.
#pragma once

#include "platform/win32/windows_api.h"

namespace chronel::platform::win32 {

HINSTANCE OwnModule();

}  // namespace chronel::platform::win32
