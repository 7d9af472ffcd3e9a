#include "platform/ole_string.h"

#include <new>

#include "platform/win32/windows_api.h"

#include <oleauto.h>

namespace chronel::platform {

OleChar* AllocOleString(std::u16string_view text) {
  BSTR result = SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()),
                                  static_cast<UINT>(text.size()));
  if (!result) throw std::bad_alloc();
  return reinterpret_cast<OleChar*>(result);
}

void FreeOleString(OleChar* text) { SysFreeString(reinterpret_cast<BSTR>(text)); }

uint32_t OleStringLength(const OleChar* text) {
  return SysStringLen(reinterpret_cast<BSTR>(const_cast<OleChar*>(text)));
}

}  // namespace chronel::platform
