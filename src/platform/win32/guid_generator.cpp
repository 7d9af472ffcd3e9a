#include "platform/guid_generator.h"

#include <cstring>

#include "core/exception.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace chronel::platform {

TGuid CreateGuid() {
  GUID created;
  const HRESULT result = CoCreateGuid(&created);
  if (FAILED(result)) {
    throw Exception("CoCreateGuid failed with error " + std::to_string(result));
  }
  TGuid guid;
  guid.D1 = created.Data1;
  guid.D2 = created.Data2;
  guid.D3 = created.Data3;
  std::memcpy(guid.D4.data(), created.Data4, sizeof(created.Data4));
  return guid;
}

}  // namespace chronel::platform
