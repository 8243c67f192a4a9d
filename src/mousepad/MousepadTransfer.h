#pragma once
// Which commands go to the mousepad, in which order: the full read, the re-read of the active
// profile, the device-profile switch, the settings write and the factory reset. Each is a function
// of the pad's HidDevice and a MousepadImage; none touches a control or a file.
//
// Faults mended here, on purpose:
//  - A transfer is all or nothing: when a command fails the image is left exactly as it was, so a
//    read that broke off is never taken, or saved into a light profile, as the pad's state. The full
//    read still closes its bracket.
//  - An active profile number outside 0..4 read from the pad never indexes a record: the previous
//    number is kept.
//
// Threads: the arrival read runs on the mousepad watcher thread into a fresh image; everything else
// on the UI thread. Each exchange takes the device lock itself.

#include "device/CommandReport.h"
#include "device/HidDevice.h"
#include "mousepad/MousepadImage.h"

namespace korva::mousepad {

struct MousepadTransferResult {
  int result = device::kResultOk;  // 1, or the result of the first command that failed
  bool changed = false;            // the image was updated
  bool ok() const { return result == device::kResultOk; }
};

// 1 begin; 3 info (33 bytes); for n = 0..4: 5 record n (address n x 64, 56 bytes); 5 active number
// (address 0, 1 byte); 2 end. The active settings := bytes 0..20 of slot a with byte 0 := a.
MousepadTransferResult ReadMousepadAll(device::HidDevice& device, MousepadImage& image);

// The pad changed its profile by itself: the working settings go back into their slot; 5 at address
// 0 (1 byte) gives a, 5 at a x 64 (56 bytes) its record (byte 0 := a); the active settings := it.
MousepadTransferResult ReloadMousepadActive(device::HidDevice& device, MousepadImage& image);

// Device profile n (0..4; other values send nothing): 5 at address 0 gives b; nothing more when
// b = n. Otherwise the working settings into slot b, 6 at address 0 with the byte n, 5 at n x 64 into
// slot n, the active settings := slot n with byte 0 := n. Once the pad took the switch the image
// follows it even when the record read then fails (slot n keeps what the last read found).
MousepadTransferResult SwitchMousepadProfile(device::HidDevice& device, MousepadImage& image, int n);

// The settings flush: command 6 at address 0 with the 21 settings bytes and 35 zeros.
int FlushMousepadSettings(device::HidDevice& device, const MousepadActiveSettings& active);

// The restore-defaults request (0x0D), sent once; the pad is read again a second later.
int FactoryResetMousepad(device::HidDevice& device);

}  // namespace korva::mousepad
