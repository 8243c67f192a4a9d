#pragma once
// Translation of a key of our own windows into the Windows virtual-key code that the key tables
// and the macro recorders are keyed on, with the extended-key flag Windows would report for it.
//
// The key event gives three views of the key: Qt's key code (what the layout and the modifiers
// make of it: Shift+1 is "!"), the X keysym (the same, in X's words) and the scan code (the
// physical key). Windows virtual-key codes sit between the two: letters follow the layout, the
// digit row is always the digits, modifiers are told apart left and right. So the rules, in order:
//   1. Shift, Ctrl, Alt, AltGr and the Windows/Super keys: left or right by the scan code (the
//      physical key), else by the keysym, else the left one (AltGr and Super_R are right by
//      themselves). Alt pressed with Shift reads "Meta_L" in X; the scan code still says Alt.
//   2. Keys with Qt's keypad flag: the keypad codes; with Num Lock off the keypad keys report
//      Home, End, arrows... without the extended flag, which is what tells Windows' keypad
//      navigation keys from the dedicated ones.
//   3. Letters by Qt's key code, as the layout says (AZERTY's "A" key is A).
//   4. The digit row by scan code: the digit, whatever Shift or the layout put on the key.
//   5. Every other key by Qt's key code (Enter, Esc, F1..F24, navigation, lock keys, unshifted
//      punctuation, media and browser keys).
//   6. The rest of the typing block by scan code, the key at that place on a US keyboard: shifted
//      punctuation, dead keys, non-Latin layouts (Windows gives Cyrillic keys the letter codes of
//      their places too).
//   7. Without a scan code (synthetic events): shifted US punctuation by its unshifted key.
// A key that none of them knows has no code.

#include <cstdint>
#include <optional>

namespace korva::platform {

// The key of a key event. Qt-free, so the table is tested without a display.
struct KeyInput {
  int qtKey = 0;        // Qt::Key (QKeyEvent::key())
  bool keypad = false;  // Qt::KeypadModifier was set
  // X keysym (QKeyEvent::nativeVirtualKey() on X11 and Wayland); 0 = unknown.
  std::uint32_t keysym = 0;
  // XKB keycode = Linux input code + 8 (QKeyEvent::nativeScanCode() on X11 and Wayland); 0 = unknown.
  std::uint32_t scanCode = 0;
};

struct VirtualKey {
  std::uint16_t code = 0;
  bool extended = false;
  friend bool operator==(const VirtualKey&, const VirtualKey&) = default;
};

// The three lock keys, which the capture always passes on.
inline constexpr std::uint16_t kVkCapsLock = 0x14;
inline constexpr std::uint16_t kVkNumLock = 0x90;
inline constexpr std::uint16_t kVkScrollLock = 0x91;
inline constexpr std::uint16_t kVkLeftAlt = 0xA4;
inline constexpr std::uint16_t kVkRightAlt = 0xA5;

std::optional<VirtualKey> TranslateKey(const KeyInput& key);

constexpr bool IsLockKey(std::uint16_t vk) {
  return vk == kVkCapsLock || vk == kVkNumLock || vk == kVkScrollLock;
}

}  // namespace korva::platform
