// OLE VARIANTs as they cross the host boundary, and `Variant`, a value type that owns one.
//
// TVarData is the binary layout both sides share: a 16-byte record on 32-bit systems, 24 bytes
// on 64-bit ones (the natural widening), the type in the first 2 bytes and the value at offset
// 8. Windows manages it with oleaut32; the POSIX backend implements the same operations for the
// types below. Conversions follow the rules of Windows' VariantChangeTypeEx under the calling
// thread's locale (see locale_services.h): reals round half to even when they become integers,
// text numbers may carry blanks around them and the locale's decimal separator, a Null value
// converts to nothing.
//
// Threads: any thread; a Variant is a value and is not shared between threads without a lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/exception.h"
#include "platform/ole_string.h"

namespace chronel::platform {

// Variant types (the first field of TVarData); the numbers are OLE's VT_ values.
using VarType = uint16_t;
inline constexpr VarType kVarEmpty = 0;
inline constexpr VarType kVarNull = 1;
inline constexpr VarType kVarSmallInt = 2;   // int16_t
inline constexpr VarType kVarInteger = 3;    // int32_t
inline constexpr VarType kVarSingle = 4;     // float
inline constexpr VarType kVarDouble = 5;     // double
inline constexpr VarType kVarCurrency = 6;   // int64_t, value times 10000
inline constexpr VarType kVarDate = 7;       // double, days since 30 December 1899
inline constexpr VarType kVarOleStr = 8;     // BSTR
inline constexpr VarType kVarDispatch = 9;   // IDispatch*
inline constexpr VarType kVarError = 10;     // HRESULT (SCODE)
inline constexpr VarType kVarBoolean = 11;   // int16_t: -1 true, 0 false
inline constexpr VarType kVarVariant = 12;   // only with kVarByRef: TVarData*
inline constexpr VarType kVarUnknown = 13;   // IUnknown*
inline constexpr VarType kVarShortInt = 16;  // int8_t
inline constexpr VarType kVarByte = 17;      // uint8_t
inline constexpr VarType kVarWord = 18;      // uint16_t
inline constexpr VarType kVarLongWord = 19;  // uint32_t
inline constexpr VarType kVarInt64 = 20;     // int64_t
inline constexpr VarType kVarUInt64 = 21;    // uint64_t
// The Object Pascal host's own 8-bit string: a pointer to the first character of a
// reference-counted text (length in bytes at -4), in the host's memory. It must be converted
// before it is stored, never freed by this side.
inline constexpr VarType kVarString = 0x0100;
inline constexpr VarType kVarByRef = 0x4000;  // flag: the value is a pointer to the type

inline constexpr int16_t kVariantTrue = -1;
inline constexpr int16_t kVariantFalse = 0;

struct TVarData {
  VarType VType = kVarEmpty;
  uint16_t Reserved1 = 0;
  uint16_t Reserved2 = 0;
  uint16_t Reserved3 = 0;
  union {
    int16_t VSmallInt;
    int32_t VInteger;
    float VSingle;
    double VDouble;
    int64_t VCurrency;
    double VDate;
    OleChar* VOleStr;
    void* VDispatch;
    int32_t VError;
    int16_t VBoolean;
    void* VUnknown;
    int8_t VShortInt;
    uint8_t VByte;
    uint16_t VWord;
    uint32_t VLongWord;
    int64_t VInt64;
    uint64_t VUInt64;
    const char* VString;
    void* VPointer;  // kVarByRef
    struct {
      void* VRecord;
      void* VRecInfo;
    } VRecordPair;  // gives the record its full size
  };
  TVarData() : VUInt64(0) {}
};
static_assert(sizeof(TVarData) == (sizeof(void*) == 4 ? 16 : 24));
static_assert(offsetof(TVarData, VInteger) == 8);

// A conversion or operation that the variant's type does not allow. Code() is the OLE result:
// kVarTypeMismatch, kVarOverflow or kVarBadType.
class EVariantError : public Exception {
 public:
  EVariantError(const std::string& message, int32_t code) : Exception(message), code_(code) {}
  int32_t Code() const { return code_; }

 private:
  int32_t code_;
};

inline constexpr int32_t kVarTypeMismatch = static_cast<int32_t>(0x80020005);  // DISP_E_...
inline constexpr int32_t kVarOverflow = static_cast<int32_t>(0x8002000A);
inline constexpr int32_t kVarBadType = static_cast<int32_t>(0x80020008);

// Raw operations on the shared layout, for code that handles variants owned by the host.
// VariantClearData frees what the variant owns (a BSTR, an interface reference) and leaves it
// Empty; a type it cannot free (the host's 8-bit string, arrays) is only forgotten.
// VariantCopyData makes `dest` (cleared first) an independent copy of `source`; it raises
// EVariantError (kVarBadType) for kVarString: the host's 8-bit strings are read, not owned (see
// Variant::FromRaw).
void VariantClearData(TVarData& data);
void VariantCopyData(TVarData& dest, const TVarData& source);

// Owns one VARIANT. Copies are deep (a BSTR is copied), moves take over the value.
class Variant {
 public:
  Variant() = default;  // Empty
  static Variant Null();
  Variant(int32_t value);
  Variant(int64_t value);
  Variant(double value);
  Variant(bool value);
  // Text becomes an OLE string (type 8).
  Variant(std::string_view utf8);
  Variant(const char* utf8) : Variant(std::string_view(utf8)) {}
  Variant(std::u16string_view text);

  // A copy of a variant owned elsewhere (the host's list item, an argument). The host's 8-bit
  // string becomes an OLE string here, in the ANSI code page on Windows and as UTF-8
  // elsewhere; everything else is copied unchanged.
  static Variant FromRaw(const TVarData& data);
  // Takes over a variant that this side may free (raises EVariantError for kVarString).
  static Variant Adopt(TVarData data);

  Variant(const Variant& other);
  Variant& operator=(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  VarType Type() const { return data_.VType; }
  bool IsEmpty() const { return data_.VType == kVarEmpty; }
  bool IsNull() const { return data_.VType == kVarNull; }
  bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
  // An OLE string (a Variant never holds the host's 8-bit string: FromRaw converts it).
  bool IsText() const;

  // The shared layout, to pass to the host or to read a field.
  const TVarData& Raw() const { return data_; }
  // Gives up ownership: the caller must clear the returned variant.
  TVarData Detach();

  // Conversions; each raises EVariantError when the value does not convert (Null, text that
  // is not a number, an integer out of range, interfaces, arrays).
  std::string ToText() const;  // Booleans give "True" / "False"
  int32_t ToInt32() const;
  int64_t ToInt64() const;
  double ToDouble() const;
  bool ToBoolean() const;

 private:
  TVarData Converted(VarType type) const;
  TVarData data_;
};

// The OLE conversion between types, under the calling thread's locale: `dest` (Empty or
// cleared before) receives `source` converted to `type`, one of kVarOleStr, kVarInteger,
// kVarInt64, kVarDouble and kVarBoolean. Returns 0 or the OLE failure code; `dest` stays Empty
// on failure. Booleans convert to the texts "True" and "False". Sources: every scalar type,
// texts, and references (kVarByRef) to them. Implemented by each backend.
int32_t VariantChangeTypeData(TVarData& dest, const TVarData& source, VarType type);

}  // namespace chronel::platform
