#include "platform/variant.h"

#include <cstring>
#include <utility>

#include "core/utf.h"
#include "platform/code_page.h"

namespace chronel::platform {
namespace {

// Type names as the host's own variant errors spell them.
std::string VarTypeName(VarType type) {
  switch (type & ~kVarByRef) {
    case kVarEmpty: return "Empty";
    case kVarNull: return "Null";
    case kVarSmallInt: return "Smallint";
    case kVarInteger: return "Integer";
    case kVarSingle: return "Single";
    case kVarDouble: return "Double";
    case kVarCurrency: return "Currency";
    case kVarDate: return "Date";
    case kVarOleStr: return "OleStr";
    case kVarDispatch: return "Dispatch";
    case kVarError: return "Error";
    case kVarBoolean: return "Boolean";
    case kVarVariant: return "Variant";
    case kVarUnknown: return "Unknown";
    case kVarShortInt: return "ShortInt";
    case kVarByte: return "Byte";
    case kVarWord: return "Word";
    case kVarLongWord: return "LongWord";
    case kVarInt64: return "Int64";
    case kVarUInt64: return "UInt64";
    case kVarString: return "String";
  }
  return "Unknown";
}

[[noreturn]] void RaiseConversionError(int32_t code, VarType from, VarType to) {
  const std::string types =
      "variant of type (" + VarTypeName(from) + ") into type (" + VarTypeName(to) + ")";
  if (code == kVarOverflow) throw EVariantError("Overflow while converting " + types, code);
  if (code == kVarTypeMismatch) throw EVariantError("Could not convert " + types, code);
  throw EVariantError("Invalid variant type", code);
}

// The host's reference-counted 8-bit text: its byte length sits in the 4 bytes before the
// first character; null is the empty text.
std::string_view HostText(const char* text) {
  if (!text) return {};
  uint32_t length = 0;
  std::memcpy(&length, text - sizeof(uint32_t), sizeof(length));
  return std::string_view(text, length);
}

}  // namespace

Variant Variant::Null() {
  Variant result;
  result.data_.VType = kVarNull;
  return result;
}

Variant::Variant(int32_t value) {
  data_.VType = kVarInteger;
  data_.VInteger = value;
}

Variant::Variant(int64_t value) {
  data_.VType = kVarInt64;
  data_.VInt64 = value;
}

Variant::Variant(double value) {
  data_.VType = kVarDouble;
  data_.VDouble = value;
}

Variant::Variant(bool value) {
  data_.VType = kVarBoolean;
  data_.VBoolean = value ? kVariantTrue : kVariantFalse;
}

Variant::Variant(std::string_view utf8) : Variant(std::u16string_view(Utf8ToUtf16(utf8))) {}

Variant::Variant(std::u16string_view text) {
  data_.VOleStr = AllocOleString(text);
  data_.VType = kVarOleStr;
}

Variant Variant::FromRaw(const TVarData& data) {
  if (data.VType == kVarString) {
    return Variant(std::string_view(AnsiToUtf8(HostText(data.VString))));
  }
  if (data.VType == (kVarString | kVarByRef)) {
    return Variant(
        std::string_view(AnsiToUtf8(HostText(*static_cast<const char* const*>(data.VPointer)))));
  }
  Variant result;
  VariantCopyData(result.data_, data);
  return result;
}

Variant Variant::Adopt(TVarData data) {
  if ((data.VType & ~kVarByRef) == kVarString) {
    throw EVariantError("Invalid variant type", kVarBadType);
  }
  Variant result;
  result.data_ = data;
  return result;
}

Variant::Variant(const Variant& other) { VariantCopyData(data_, other.data_); }

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) VariantCopyData(data_, other.data_);
  return *this;
}

Variant::Variant(Variant&& other) noexcept : data_(other.Detach()) {}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClearData(data_);
    data_ = other.Detach();
  }
  return *this;
}

Variant::~Variant() { VariantClearData(data_); }

bool Variant::IsText() const { return data_.VType == kVarOleStr; }

TVarData Variant::Detach() { return std::exchange(data_, TVarData()); }

TVarData Variant::Converted(VarType type) const {
  TVarData result;
  const int32_t code = VariantChangeTypeData(result, data_, type);
  if (code != 0) RaiseConversionError(code, data_.VType, type);
  return result;
}

std::string Variant::ToText() const {
  if (data_.VType == kVarOleStr) return Utf16ToUtf8(OleStringView(data_.VOleStr));
  const Variant text = Adopt(Converted(kVarOleStr));
  return Utf16ToUtf8(OleStringView(text.data_.VOleStr));
}

int32_t Variant::ToInt32() const { return Converted(kVarInteger).VInteger; }

int64_t Variant::ToInt64() const { return Converted(kVarInt64).VInt64; }

double Variant::ToDouble() const { return Converted(kVarDouble).VDouble; }

bool Variant::ToBoolean() const { return Converted(kVarBoolean).VBoolean != kVariantFalse; }

}  // namespace chronel::platform
