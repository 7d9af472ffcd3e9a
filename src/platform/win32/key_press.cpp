#include "platform/key_press.h"

#include <vector>

#include "platform/hotkey.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

bool SendKeyPress(uint32_t modifiers, uint32_t virtualKey) {
  std::vector<WORD> held;
  if (modifiers & kModControl) held.push_back(VK_CONTROL);
  if (modifiers & kModAlt) held.push_back(VK_MENU);
  if (modifiers & kModShift) held.push_back(VK_SHIFT);
  std::vector<INPUT> inputs;
  for (WORD key : held) inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(static_cast<WORD>(virtualKey), false));
  inputs.push_back(KeyInput(static_cast<WORD>(virtualKey), true));
  for (auto key = held.rbegin(); key != held.rend(); ++key) inputs.push_back(KeyInput(*key, true));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

}  // namespace chronel::platform
