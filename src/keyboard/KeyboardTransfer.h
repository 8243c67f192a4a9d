#pragma once
// What the program reads from and writes to the keyboard (both models, 0x8901 and 0x7680), in
// which order. Every operation returns the first result other than 1 (kResultOk) of its commands.
//
//   ReadKeyboardAll       01; 03; 07; 05 addr 0, 56 bytes; 08 bank 0; 05 addr 0, 1 byte; 02
//   ReloadKeyboardActive  05 addr 0, 1 byte; 05 addr 0, 56 bytes
//   ReadKeyboardDefaults  07
//   UploadKeyboard        [01; 15 macro block; 02 -- when the macro library holds macros] 01; 09 bank p; 02
//   UploadKeyboardBank    01; 09 bank p; 02
//   WriteKeyProfileBank   09 bank 0
//   FlushKeyboardSettings 06 addr 0, 56 bytes (the 21 active settings bytes, then zeros)
//   WriteKeyboardSettingByte  06 addr p x 64 + offset, 1 byte (brightness 2, speed 3)
//
// Reads work on a copy and change the image only when every command answered: a keyboard that
// stops answering or refuses in the middle leaves images (and the profile files, which the callers
// save only after a complete read) as they were. A read that opened the transfer bracket always
// closes it, also when it stops early. A keyboard reporting more keys than a bank holds (K > 170)
// is refused with nothing changed.
//
// The active profile number p is used as a slot, bank or address only when it names a profile
// (0..4); a keyboard reporting another number is taken as using profile 0.

#include <cstdint>
#include <string_view>

#include "device/CommandReport.h"
#include "device/HidDevice.h"
#include "keyboard/KeyboardImage.h"
#include "macro/MacroUpload.h"

namespace korva::keyboard {

struct KeyboardTransferResult {
  int result = device::kResultOk;
  bool changed = false;      // the image was updated
  bool tooManyKeys = false;  // K above 170: kTextTooManyKeys

  bool ok() const { return result == device::kResultOk && !tooManyKeys; }
};

// The message of a keyboard reporting more keys than a bank holds. (The profile library's
// "message_text_11" -- "at least one profile must remain" -- would tell the user something untrue.)
inline constexpr std::string_view kTextTooManyKeys = "message_text_too_many_keys";

// The full read; the key-button map is rebuilt from the default block read.
KeyboardTransferResult ReadKeyboardAll(device::HidDevice& device, KeyboardImage& image);
// After the keyboard changed its profile by itself: the working settings go back into the slot of
// the current number, then the record at address 0 becomes slot 0 and the working settings, with
// the active number 0.
KeyboardTransferResult ReloadKeyboardActive(device::HidDevice& device, KeyboardImage& image);
// The factory key block again, and the key-button map from it.
KeyboardTransferResult ReadKeyboardDefaults(device::HidDevice& device, KeyboardImage& image);
// The bank being edited (bank p, all 512 bytes) to the keyboard, inside the transfer bracket.
int UploadKeyboardBank(device::HidDevice& device, const KeyboardImage& image);

struct KeyboardUploadResult {
  int result = device::kResultOk;  // the first result other than kResultOk
  macro::MacroUploadResult macros;  // macros.stop: the library was refused and nothing was sent
};
// The save of the key page: the macro library (its block sized against the keyboard's macro
// memory, information byte 6), then the edited bank. A library the keyboard cannot take stops the
// upload before anything is sent, so the keys never point at macros the keyboard does not hold.
KeyboardUploadResult UploadKeyboard(device::HidDevice& device, const KeyboardImage& image,
                                    const macro::MacroLibrary& macros);
// Bank 0 to the keyboard, after a key profile was loaded into it.
int WriteKeyProfileBank(device::HidDevice& device, const KeyboardImage& image);
// The deferred settings write.
int FlushKeyboardSettings(device::HidDevice& device, const KeyboardImage& image);
// One byte of the active profile's settings record (brightness: offset 2, speed: 3).
int WriteKeyboardSettingByte(device::HidDevice& device, const KeyboardImage& image, std::uint8_t offset,
                             std::uint8_t value);

}  // namespace korva::keyboard
