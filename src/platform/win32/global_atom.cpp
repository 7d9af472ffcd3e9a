#include "platform/global_atom.h"

#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

Atom AddGlobalAtom(const std::string& name, uint32_t* error) {
  const std::u16string wide = Utf8ToUtf16(name);
  SetLastError(0);
  const ATOM atom = GlobalAddAtomW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (error) *error = atom ? 0 : GetLastError();
  return atom;
}

void DeleteGlobalAtom(Atom atom) { GlobalDeleteAtom(atom); }

}  // namespace chronel::platform
