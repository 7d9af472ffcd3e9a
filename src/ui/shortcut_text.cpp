#include "ui/shortcut_text.h"

#include <cstdint>

#include "core/numbers.h"
#include "core/text.h"

namespace chronel {
namespace {

struct TNamedKey {
  uint8_t Code;
  const char* Name;
};

constexpr TNamedKey kNamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

std::string KeyName(uint8_t code) {
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, code);
  if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x70 + 1);
  for (const TNamedKey& key : kNamedKeys) {
    if (key.Code == code) return key.Name;
  }
  return "Key" + IntToHex(code, 2);
}

struct TModifierName {
  const char* Prefix;
  platform::TShortCut Flag;
};

constexpr TModifierName kModifiers[] = {
    {"Shift+", platform::scShift}, {"Ctrl+", platform::scCtrl}, {"Alt+", platform::scAlt}};

// The prefix's flag when `text` starts with one of the modifiers, else 0.
platform::TShortCut TakeModifier(std::string_view& text) {
  for (const TModifierName& modifier : kModifiers) {
    const std::string_view prefix = modifier.Prefix;
    if (text.size() > prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix)) {
      text.remove_prefix(prefix.size());
      return modifier.Flag;
    }
  }
  return 0;
}

}  // namespace

platform::TShortCut TextToShortCut(std::string_view text) {
  platform::TShortCut modifiers = 0;
  for (platform::TShortCut flag = TakeModifier(text); flag != 0; flag = TakeModifier(text)) {
    modifiers |= flag;
  }
  for (int code = 1; code <= 0xFF; ++code) {
    if (SameTextAscii(KeyName(static_cast<uint8_t>(code)), text)) {
      return static_cast<platform::TShortCut>(modifiers | code);
    }
  }
  return 0;
}

std::string ShortCutText(platform::TShortCut shortCut) {
  std::string text;
  if (shortCut & platform::scShift) text += "Shift+";
  if (shortCut & platform::scCtrl) text += "Ctrl+";
  if (shortCut & platform::scAlt) text += "Alt+";
  return text + KeyName(static_cast<uint8_t>(shortCut & 0xFF));
}

}  // namespace chronel
