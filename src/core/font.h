// The font of a control: the translator sets its character set to the language file's.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/object.h"

namespace chronel {

inline constexpr uint8_t kDefaultCharset = 1;
inline constexpr uint8_t kSymbolCharset = 2;

class TFont : public TObject {
 public:
  TFont() = default;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset) { charset_ = charset; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // Negative: the character height in pixels; positive: the cell height.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t height) { height_ = height; }

  void Assign(const TFont& source);

 private:
  uint8_t charset_ = kDefaultCharset;
  std::string name_ = "MS Sans Serif";
  int32_t height_ = -11;
};

}  // namespace chronel
