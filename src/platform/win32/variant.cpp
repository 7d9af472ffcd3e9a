#include "platform/variant.h"

#include "platform/win32/windows_api.h"

#include <oleauto.h>

namespace chronel::platform {
namespace {

static_assert(sizeof(VARIANT) == sizeof(TVarData));
static_assert(alignof(VARIANT) == alignof(TVarData));

VARIANT* AsVariant(TVarData& data) { return reinterpret_cast<VARIANT*>(&data); }
const VARIANT* AsVariant(const TVarData& data) { return reinterpret_cast<const VARIANT*>(&data); }

}  // namespace

void VariantClearData(TVarData& data) {
  VariantClear(AsVariant(data));
  data = TVarData();  // a type oleaut32 refuses to clear is forgotten
}

void VariantCopyData(TVarData& dest, const TVarData& source) {
  if ((source.VType & ~kVarByRef) == kVarString) {
    throw EVariantError("Invalid variant type", kVarBadType);
  }
  TVarData copy;
  const HRESULT result = VariantCopy(AsVariant(copy), const_cast<VARIANT*>(AsVariant(source)));
  if (FAILED(result)) throw EVariantError("Invalid variant type", result);
  VariantClearData(dest);
  dest = copy;
}

int32_t VariantChangeTypeData(TVarData& dest, const TVarData& source, VarType type) {
  dest = TVarData();
  // Booleans become "True" / "False" rather than OLE's default "-1" / "0".
  const USHORT flags = type == kVarOleStr ? VARIANT_ALPHABOOL : 0;
  const HRESULT result = VariantChangeTypeEx(
      AsVariant(dest), const_cast<VARIANT*>(AsVariant(source)), GetThreadLocale(), flags, type);
  if (FAILED(result)) {
    dest = TVarData();
    return result;
  }
  return 0;
}

}  // namespace chronel::platform
