#pragma once
// The shared vocabulary of key functions: the descriptor lists behind the function combos (their
// order is the combos' item order), the key table (Windows virtual-key code -> key function -> text
// id, in the order of the macro editor's key combo), and the built-in function of each of the 126
// key pictures of the keyboard page. The mouse's button page and the macro editor use the same
// tables.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "keyboard/KeyFunction.h"

namespace korva::keyboard {

struct KeyDescriptor {
  KeyFunction function;
  std::string_view textId;
};

struct KeyTableEntry {
  int virtualKey = 0;
  KeyFunction function;  // always type 0x20
  std::string_view textId;
};

// Combo item lists (kb_key_fct_combo_11, _12, _13, _14, _21, _22 and the mouse's equivalents).
std::span<const KeyDescriptor> MouseButtonDescriptors();  // 5
std::span<const KeyDescriptor> TiltDescriptors();         // 2: left, right
std::span<const KeyDescriptor> WheelDescriptors();        // 2: up, down
std::span<const KeyDescriptor> DpiDescriptors();          // 3: up, down, cycle
std::span<const KeyDescriptor> ConsumerDescriptors();     // 18
std::span<const KeyDescriptor> SystemDescriptors();       // 3
inline constexpr KeyDescriptor kFireKeyDescriptor{{key_type::kFire, 0x00, 0x00}, "mouse_key_fire_key"};

// The item of `list` whose descriptor has this (b1, b2); nullopt when none has.
std::optional<int> FindDescriptor(std::span<const KeyDescriptor> list, std::uint8_t b1, std::uint8_t b2);
// The first descriptor of `list` with this b1 (labels of mouse buttons and DPI functions).
const KeyDescriptor* FindDescriptorByB1(std::span<const KeyDescriptor> list, std::uint8_t b1);

// The 104 keys, in the order of the macro editor's key combo.
inline constexpr std::size_t kKeyTableSize = 104;
std::span<const KeyTableEntry> KeyTable();

// The virtual-key code the key table gives the keypad's Enter: Windows gives it the code of the
// main Enter (0x0D) and tells them apart by the event's extended-key flag.
inline constexpr int kVirtualKeyEnter = 0x0D;
inline constexpr int kVirtualKeyKeypadEnter = 0x101;
// The code a key event is looked up with: 0x0D with the low-level flags 1 or 0x81 (extended key,
// with or without key-up) is the keypad Enter.
int LookupCode(int virtualKey, std::uint32_t lowLevelFlags);

// The entry of a virtual-key code (after LookupCode); nullptr for a key the table does not know.
const KeyTableEntry* FindByVirtualKey(int code);
// The first entry whose b1 and b2 both match (the type is not compared); nullptr when none.
const KeyTableEntry* FindByFunction(std::uint8_t b1, std::uint8_t b2);

// The 126 key pictures kb_key_0 .. kb_key_125: the function each carries, which names the key of
// the keyboard it shows ({0x20, 0, 0} for an empty position).
inline constexpr std::size_t kKeyPictureCount = 126;
std::span<const KeyFunction, kKeyPictureCount> KeyPictureFunctions();

}  // namespace korva::keyboard
