#include "platform/variant.h"

#include <cstring>
#include <string>

#include "platform/posix/variant_number.h"

namespace chronel::platform {
namespace {

// Interface pointers follow the COM layout: a table whose slots 1 and 2 are AddRef and
// Release.
struct InterfaceTable {
  void* QueryInterface;
  uint32_t (*AddRef)(void* self);
  uint32_t (*Release)(void* self);
};

void AddRef(void* object) {
  if (object) (*static_cast<InterfaceTable**>(object))->AddRef(object);
}

void Release(void* object) {
  if (object) (*static_cast<InterfaceTable**>(object))->Release(object);
}

// A source value reduced to what the conversions need.
struct Scalar {
  enum class Kind { Empty, Signed, Unsigned, Real, Currency, Date, Text, Boolean };
  Kind kind = Kind::Empty;
  int64_t integer = 0;  // Signed, Currency, Boolean
  uint64_t unsigned_value = 0;
  bool wide = false;         // Unsigned from 64 bits
  double real = 0;           // Real, Date
  int real_digits = 15;      // significant digits of a Real's text
  std::u16string_view text;  // Text
};

// The size of the value a reference points to; 0 for types that cannot be referenced here.
size_t ReferencedSize(VarType type) {
  switch (type) {
    case kVarShortInt:
    case kVarByte: return 1;
    case kVarSmallInt:
    case kVarWord:
    case kVarBoolean: return 2;
    case kVarInteger:
    case kVarLongWord:
    case kVarSingle:
    case kVarError: return 4;
    case kVarDouble:
    case kVarDate:
    case kVarCurrency:
    case kVarInt64:
    case kVarUInt64: return 8;
    case kVarOleStr:
    case kVarDispatch:
    case kVarUnknown: return sizeof(void*);
    default: return 0;
  }
}

int32_t ReadScalar(const TVarData& source, Scalar& scalar);

int32_t ReadReference(const TVarData& source, Scalar& scalar) {
  const VarType type = source.VType & ~kVarByRef;
  if (!source.VPointer) return kVarBadType;
  if (type == kVarVariant) {
    return ReadScalar(*static_cast<const TVarData*>(source.VPointer), scalar);
  }
  const size_t size = ReferencedSize(type);
  if (size == 0) return kVarBadType;
  TVarData value;  // borrows a referenced BSTR, never frees it
  value.VType = type;
  std::memcpy(&value.VUInt64, source.VPointer, size);
  return ReadScalar(value, scalar);
}

int32_t ReadScalar(const TVarData& source, Scalar& scalar) {
  using Kind = Scalar::Kind;
  if (source.VType & kVarByRef) return ReadReference(source, scalar);
  auto set_signed = [&](int64_t value) {
    scalar.kind = Kind::Signed;
    scalar.integer = value;
  };
  auto set_unsigned = [&](uint64_t value, bool wide) {
    scalar.kind = Kind::Unsigned;
    scalar.unsigned_value = value;
    scalar.wide = wide;
  };
  switch (source.VType) {
    case kVarEmpty: scalar.kind = Kind::Empty; return 0;
    case kVarShortInt: set_signed(source.VShortInt); return 0;
    case kVarSmallInt: set_signed(source.VSmallInt); return 0;
    case kVarInteger: set_signed(source.VInteger); return 0;
    case kVarInt64: set_signed(source.VInt64); return 0;
    case kVarByte: set_unsigned(source.VByte, false); return 0;
    case kVarWord: set_unsigned(source.VWord, false); return 0;
    case kVarLongWord: set_unsigned(source.VLongWord, false); return 0;
    case kVarUInt64: set_unsigned(source.VUInt64, true); return 0;
    case kVarSingle:
      scalar.kind = Kind::Real;
      scalar.real = source.VSingle;
      scalar.real_digits = 7;
      return 0;
    case kVarDouble:
      scalar.kind = Kind::Real;
      scalar.real = source.VDouble;
      return 0;
    case kVarDate:
      scalar.kind = Kind::Date;
      scalar.real = source.VDate;
      return 0;
    case kVarCurrency:
      scalar.kind = Kind::Currency;
      scalar.integer = source.VCurrency;
      return 0;
    case kVarBoolean:
      scalar.kind = Kind::Boolean;
      scalar.integer = source.VBoolean;
      return 0;
    case kVarOleStr:
      if (!source.VOleStr) return kVarTypeMismatch;  // as OLE: a null BSTR is not a number
      scalar.kind = Kind::Text;
      scalar.text = OleStringView(source.VOleStr);
      return 0;
    case kVarNull:
    case kVarError:
    case kVarUnknown: return kVarTypeMismatch;
    default: return kVarBadType;
  }
}

int32_t ToInt64(const Scalar& scalar, int64_t& value) {
  using Kind = Scalar::Kind;
  switch (scalar.kind) {
    case Kind::Empty: value = 0; return 0;
    case Kind::Signed:
    case Kind::Boolean: value = scalar.integer; return 0;
    case Kind::Unsigned: value = static_cast<int64_t>(scalar.unsigned_value); return 0;
    case Kind::Real:
    case Kind::Date: return RoundReal(scalar.real, value) ? 0 : kVarOverflow;
    case Kind::Currency: value = RoundCurrency(scalar.integer); return 0;
    case Kind::Text: {
      TextNumber number;
      const int32_t code = ParseTextNumber(scalar.text, number);
      return code ? code : TextNumberToInt64(number, value);
    }
  }
  return kVarBadType;
}

int32_t ToInt32(const Scalar& scalar, int32_t& value) {
  using Kind = Scalar::Kind;
  if (scalar.kind == Kind::Text) {
    TextNumber number;
    const int32_t code = ParseTextNumber(scalar.text, number);
    return code ? code : TextNumberToInt32(number, value);
  }
  // OLE keeps the bits of a 32-bit unsigned value.
  if (scalar.kind == Kind::Unsigned && !scalar.wide) {
    value = static_cast<int32_t>(static_cast<uint32_t>(scalar.unsigned_value));
    return 0;
  }
  if (scalar.kind == Kind::Unsigned && scalar.unsigned_value > INT32_MAX) return kVarOverflow;
  int64_t wide = 0;
  const int32_t code = ToInt64(scalar, wide);
  if (code) return code;
  if (wide < INT32_MIN || wide > INT32_MAX) return kVarOverflow;
  value = static_cast<int32_t>(wide);
  return 0;
}

int32_t ToDouble(const Scalar& scalar, double& value) {
  using Kind = Scalar::Kind;
  switch (scalar.kind) {
    case Kind::Empty: value = 0; return 0;
    case Kind::Signed:
    case Kind::Boolean: value = static_cast<double>(scalar.integer); return 0;
    case Kind::Unsigned: value = static_cast<double>(scalar.unsigned_value); return 0;
    case Kind::Real:
    case Kind::Date: value = scalar.real; return 0;
    case Kind::Currency: value = static_cast<double>(scalar.integer) / 10000; return 0;
    case Kind::Text: {
      TextNumber number;
      const int32_t code = ParseTextNumber(scalar.text, number);
      return code ? code : TextNumberToDouble(number, value);
    }
  }
  return kVarBadType;
}

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c += 0x20;
    if (c != word[i]) return false;
  }
  return true;
}

int32_t ToBoolean(const Scalar& scalar, bool& value) {
  if (scalar.kind == Scalar::Kind::Text) {
    if (EqualsIgnoringAsciiCase(scalar.text, u"true") || scalar.text == u"#TRUE#") {
      value = true;
      return 0;
    }
    if (EqualsIgnoringAsciiCase(scalar.text, u"false") || scalar.text == u"#FALSE#") {
      value = false;
      return 0;
    }
  }
  double number = 0;
  const int32_t code = ToDouble(scalar, number);
  value = number != 0;
  return code;
}

std::u16string Decimal(const std::string& digits) {
  return std::u16string(digits.begin(), digits.end());
}

int32_t ToText(const Scalar& scalar, std::u16string& text) {
  using Kind = Scalar::Kind;
  switch (scalar.kind) {
    case Kind::Empty: text.clear(); return 0;
    case Kind::Signed: text = Decimal(std::to_string(scalar.integer)); return 0;
    case Kind::Unsigned: text = Decimal(std::to_string(scalar.unsigned_value)); return 0;
    case Kind::Boolean: text = scalar.integer ? u"True" : u"False"; return 0;
    case Kind::Real: text = RealToText(scalar.real, scalar.real_digits); return 0;
    case Kind::Currency: text = CurrencyToText(scalar.integer); return 0;
    case Kind::Text: text = scalar.text; return 0;
    case Kind::Date: return kVarTypeMismatch;  // dates are not written as text here
  }
  return kVarBadType;
}

int32_t Convert(const Scalar& scalar, TVarData& dest, VarType type) {
  int32_t code = kVarBadType;
  switch (type) {
    case kVarInteger: code = ToInt32(scalar, dest.VInteger); break;
    case kVarInt64: code = ToInt64(scalar, dest.VInt64); break;
    case kVarDouble: code = ToDouble(scalar, dest.VDouble); break;
    case kVarBoolean: {
      bool value = false;
      code = ToBoolean(scalar, value);
      dest.VBoolean = value ? kVariantTrue : kVariantFalse;
      break;
    }
    case kVarOleStr: {
      std::u16string text;
      code = ToText(scalar, text);
      if (code == 0) dest.VOleStr = AllocOleString(text);
      break;
    }
  }
  return code;
}

}  // namespace

void VariantClearData(TVarData& data) {
  switch (data.VType) {
    case kVarOleStr: FreeOleString(data.VOleStr); break;
    case kVarDispatch: Release(data.VDispatch); break;
    case kVarUnknown: Release(data.VUnknown); break;
    default: break;  // nothing owned (or nothing this side may free)
  }
  data = TVarData();
}

void VariantCopyData(TVarData& dest, const TVarData& source) {
  if ((source.VType & ~kVarByRef) == kVarString) {
    throw EVariantError("Invalid variant type", kVarBadType);
  }
  TVarData copy = source;
  if (source.VType == kVarOleStr && source.VOleStr) {
    copy.VOleStr = AllocOleString(OleStringView(source.VOleStr));
  }
  if (source.VType == kVarDispatch || source.VType == kVarUnknown) AddRef(source.VPointer);
  VariantClearData(dest);
  dest = copy;
}

int32_t VariantChangeTypeData(TVarData& dest, const TVarData& source, VarType type) {
  dest = TVarData();
  Scalar scalar;
  int32_t code = ReadScalar(source, scalar);
  if (code == 0) code = Convert(scalar, dest, type);
  if (code != 0) {
    dest = TVarData();
    return code;
  }
  dest.VType = type;
  return 0;
}

}  // namespace chronel::platform
