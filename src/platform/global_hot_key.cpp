#include "platform/global_hot_key.h"

#include <cassert>
#include <cstdio>
#include <string>

#include "core/exception.h"
#include "platform/hotkey.h"

namespace chronel::platform {
namespace {

constexpr TShortCut kModifierBits = scShift | scCtrl | scAlt;

// Unique in the process for the component's lifetime: the decimal text of its address.
std::string UniqueName(const void* component) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(component)));
  return text;
}

}  // namespace

uint16_t ShortCutKey(TShortCut shortCut) { return shortCut & ~kModifierBits; }

TShiftState ShortCutShiftState(TShortCut shortCut) {
  TShiftState shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
  return shift;
}

uint32_t ShortCutSystemModifiers(TShortCut shortCut) {
  uint32_t modifiers = 0;
  if (shortCut & scCtrl) modifiers |= kModControl;
  if (shortCut & scAlt) modifiers |= kModAlt;
  if (shortCut & scShift) modifiers |= kModShift;
  return modifiers;
}

TkivGlobalHotKey::TkivGlobalHotKey() : ownerThread_(CurrentThreadId()) {
  uint32_t error = 0;
  atom_ = AddGlobalAtom(UniqueName(this), &error);
  if (atom_ == 0) {
    throw Exception("Cannot add the hotkey's global atom (error " + std::to_string(error) + ")");
  }
  try {
    window_ = CreateMessageWindow([this](WindowHandle window, uint32_t message, WParam wparam,
                                         LParam lparam) {
      return HandleMessage(window, message, wparam, lparam);
    });
  } catch (...) {
    DeleteGlobalAtom(atom_);
    throw;
  }
}

TkivGlobalHotKey::~TkivGlobalHotKey() {
  assert(CurrentThreadId() == ownerThread_ && "a hotkey must be destroyed on its own thread");
  if (hotKey_ != 0) SetHotKey(0);
  DeleteGlobalAtom(atom_);
  DestroyMessageWindow(window_);
}

void TkivGlobalHotKey::SetActive(bool value) {
  if (value == active_) return;
  lastError_ = 0;
  if (value) Register(hotKey_);
  else if (hotKey_ != 0) Unregister();
  // Active means "meant to be registered", so it follows the request even after a refusal.
  active_ = value;
}

void TkivGlobalHotKey::SetHotKey(TShortCut value) {
  if (value == hotKey_) return;
  if (active_) {
    lastError_ = 0;
    // The old combination goes first, so it does not stay registered alongside the new one.
    if (hotKey_ != 0) Unregister();
    if (value != 0) Register(value);
  }
  hotKey_ = value;
}

void TkivGlobalHotKey::Register(TShortCut value) {
  const SystemErrorCode error =
      RegisterSystemHotKey(window_, atom_, ShortCutSystemModifiers(value), ShortCutKey(value));
  if (error != kErrorSuccess) lastError_ = error;
}

void TkivGlobalHotKey::Unregister() {
  const SystemErrorCode error = UnregisterSystemHotKey(window_, atom_);
  if (error != kErrorSuccess) lastError_ = error;
}

LResult TkivGlobalHotKey::HandleMessage(WindowHandle window, uint32_t message, WParam wparam,
                                        LParam lparam) {
  if (message != kWmHotKey) return DefaultWindowProcedure(window, message, wparam, lparam);
  if (!OnKeyDown) return 0;
  const uint16_t pressed = ShortCutKey(hotKey_);
  uint16_t key = pressed;
  // An error from the handler reaches the central handler through the window's dispatching.
  OnKeyDown(this, key, ShortCutShiftState(hotKey_));
  if (pressed != 0 && key == 0) return PassToDesktopWindow(message, wparam, lparam);
  return 0;
}

}  // namespace chronel::platform
