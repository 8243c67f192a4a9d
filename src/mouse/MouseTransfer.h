#pragma once
// Which commands go to the mouse, in which order: the full read, the re-read of the active profile,
// the device-profile switch, the active-settings write and the factory reset. Each is a function of
// the mouse's HidDevice and a MouseImage; none touches a control or a file.
//
// Faults mended here, on purpose:
//  - A transfer is all or nothing: when a command fails (result other than 1) the image is left
//    exactly as it was, so a flaky arrival can never be taken, or saved, as the mouse's state. The
//    full read stops at the first failure but still closes its bracket with EndTransfer.
//  - An active profile number outside 0..4, read from the mouse, is never used as a record, bank or
//    address index: the number is ignored and the previous one kept.
//  - The settings flush keeps its pending flag when the write fails while the mouse is still
//    connected, so the next tick retries it.
//
// Threads: the full read runs on the mouse watcher thread into a fresh image (the UI thread takes it
// over afterwards); the other operations run on the UI thread on the page's image. Each exchange
// takes the device lock itself.

#include <cstdint>

#include "device/CommandReport.h"
#include "device/HidDevice.h"
#include "mouse/MouseImage.h"

namespace korva::mouse {

struct MouseTransferResult {
  int result = device::kResultOk;  // 1, or the result of the first command that failed
  bool changed = false;            // the image was updated: the page refreshes (and saves what follows)
  bool activeIgnored = false;      // the mouse named an active profile outside 0..4, which was not used

  bool ok() const { return result == device::kResultOk; }
};

// The 69 exchanges of a full read, in this order:
//   1 begin; 3 info (33 bytes); 7 default button block (512 bytes in ten chunks);
//   for n = 0..4: 5 record n (address n x 64, 56 bytes), 8 bank n (512 bytes in ten chunks);
//   5 active profile number (address 0, 1 byte); 2 end.
// The active settings become bytes 0..22 of the active profile's record, byte 0 := its number. An
// active number outside 0..4 keeps the image's previous number (records, banks and info are still
// taken). On a failure the image is unchanged and the end command is still sent.
MouseTransferResult ReadMouseAll(device::HidDevice& device, MouseImage& image);

// After the mouse changed its active profile by itself: the working settings go back into the slot
// of the current number, then 5 at address 0 (1 byte) gives the new number a and 5 at a x 64
// (56 bytes) its record, whose byte 0 := a; the active settings := bytes 0..22 of slot a.
MouseTransferResult ReloadMouseActive(device::HidDevice& device, MouseImage& image);

// Makes device profile n (0..4; any other n is ignored, nothing sent) active: 5 at address 0 (1 byte)
// gives the mouse's number b; when b = n nothing more is sent. Otherwise the working settings go into
// slot b (skipped when b lies outside 0..4), 6 at address 0 with the one byte n, 5 at n x 64 (56
// bytes) into slot n, and the active settings := bytes 0..22 of slot n with byte 0 := n. Once the
// mouse took the switch the image follows it even when the record read then fails (`changed` set,
// `result` the read's failure; slot n keeps what the last full read found).
MouseTransferResult SwitchDeviceProfile(device::HidDevice& device, MouseImage& image, int n);

// The active-settings write: command 6 at address 0, 56 bytes = the 23 settings bytes + 33 zeros.
int WriteMouseActiveSettings(device::HidDevice& device, const MouseActiveSettings& active);

// One tick of the deferred settings write (every 100 ms): when `pending` is set, writes the active
// settings. `pending` is cleared when the write succeeded or the mouse is not connected, and kept
// when it failed while the mouse stays connected. Returns the write's result (1 when nothing was pending).
int FlushMouseSettings(device::HidDevice& device, const MouseActiveSettings& active, bool& pending);

// The key bank of the key save: 1 begin, 9 with the whole 512-byte bank a of the active profile a,
// 2 end (the bracket closed whatever happened). An active number outside 0..4 sends nothing and
// gives kResultBadBank.
int WriteMouseKeyBank(device::HidDevice& device, const MouseImage& image);

// A lighting mode chosen on the page, at once: command 6 with the one byte `mode` at the mode's
// address in the active profile's record (a x 64 + 1). An active number outside 0..4 sends nothing
// and gives kResultBadBank.
int WriteMouseLightMode(device::HidDevice& device, const MouseImage& image, std::uint8_t mode);

// The device part of the factory reset: the restore-defaults request (0x0D), once, its status ignored.
int FactoryResetMouse(device::HidDevice& device);

}  // namespace korva::mouse
