// Value names of enumerations and sets of them, as published properties show them: an
// enumeration property reads and writes its value by name, a Boolean as False or True.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace chronel {

// The names of an enumeration's values, in the order of their ordinals (0, 1, ...).
class TEnumInfo {
 public:
  TEnumInfo(std::string typeName, std::vector<std::string> valueNames);

  const std::string& TypeName() const { return typeName_; }
  int Count() const { return static_cast<int>(names_.size()); }
  bool IsValid(int64_t ordinal) const { return ordinal >= 0 && ordinal < Count(); }
  // The name of a valid ordinal.
  const std::string& Name(int64_t ordinal) const;
  // The ordinal of a name, compared without regard to case; none for an unknown name.
  std::optional<int64_t> Ordinal(std::string_view name) const;

 private:
  std::string typeName_;
  std::vector<std::string> names_;
};

// Boolean: False, True.
const TEnumInfo& BooleanInfo();

// A set of up to 64 values of the enumeration E, held as a bit mask (bit n = ordinal n).
template <typename E>
  requires std::is_enum_v<E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E member : members) Include(member);
  }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet result;
    result.bits_ = bits;
    return result;
  }

  constexpr uint64_t Bits() const { return bits_; }
  constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
  constexpr bool IsEmpty() const { return bits_ == 0; }
  constexpr void Include(E member) { bits_ |= Bit(member); }
  constexpr void Exclude(E member) { bits_ &= ~Bit(member); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint64_t Bit(E member) { return uint64_t{1} << static_cast<unsigned>(member); }

  uint64_t bits_ = 0;
};

template <typename T>
inline constexpr bool kIsSet = false;
template <typename E>
inline constexpr bool kIsSet<TSet<E>> = true;

}  // namespace chronel
