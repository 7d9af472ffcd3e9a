// One system-wide hotkey as a component: pressing it calls OnKeyDown on the thread that created
// the component, through a hidden window of its own. Each hotkey task owns one.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/global_atom.h"
#include "platform/message_window.h"
#include "platform/thread.h"

namespace chronel::platform {

// A shortcut value: low byte the virtual-key code, plus these modifier bits; 0 = none.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// Modifier keys held with a key.
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;

// Not thread-safe: create, change and destroy it on one thread, which must pump messages for
// presses to arrive. OnKeyDown runs on that thread.
class TkivGlobalHotKey {
 public:
  // Called on the owner thread for a press, with the key part of HotKey and its modifiers. A
  // handler that sets a non-zero key to 0 hands the press on to the desktop window. Errors it
  // raises go to HandleApplicationException.
  using TKeyEvent = std::function<void(TkivGlobalHotKey* sender, uint16_t& key, TShiftState shift)>;

  // Takes an atom for the component's unique name and creates the window. Active, nothing
  // registered yet (HotKey is 0). Raises chronel::Exception when the system refuses either.
  TkivGlobalHotKey();
  // Unregisters an active hotkey, removes the atom and destroys the window.
  ~TkivGlobalHotKey();
  TkivGlobalHotKey(const TkivGlobalHotKey&) = delete;
  TkivGlobalHotKey& operator=(const TkivGlobalHotKey&) = delete;

  bool Active() const { return active_; }
  // true registers HotKey (even 0: the system's answer goes to LastError), false unregisters a
  // non-zero HotKey. Active takes the value even when the system refused.
  void SetActive(bool value);

  TShortCut HotKey() const { return hotKey_; }
  // While Active, a non-zero old combination is unregistered and a non-zero new one registered
  // (failures to LastError).
  void SetHotKey(TShortCut value);

  // The system error code of the last failed (un)registration; 0 after a successful attempt.
  uint32_t LastError() const { return lastError_; }

  // The id the hotkey is registered under (the atom) and the window receiving it.
  Atom HotKeyId() const { return atom_; }
  WindowHandle Window() const { return window_; }

  TKeyEvent OnKeyDown;

 private:
  void Register(TShortCut value);
  void Unregister();
  LResult HandleMessage(WindowHandle window, uint32_t message, WParam wparam, LParam lparam);

  const ThreadId ownerThread_;
  bool active_ = true;
  TShortCut hotKey_ = 0;
  uint32_t lastError_ = 0;
  Atom atom_ = 0;
  WindowHandle window_ = 0;
};

// Splits a shortcut into its key part and modifier state, and into the system's modifiers.
uint16_t ShortCutKey(TShortCut shortCut);
TShiftState ShortCutShiftState(TShortCut shortCut);
uint32_t ShortCutSystemModifiers(TShortCut shortCut);

}  // namespace chronel::platform
