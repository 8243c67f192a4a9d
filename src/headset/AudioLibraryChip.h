#pragma once
// The seam under AudioLibrary: one audio chip backend (the simulated headset chip in sim/headset,
// or a backend for a real chip). AudioLibrary checks every argument and serialises all calls, so
// a backend sees only valid values and never two calls at once from the library.
//
// Each operation returns a result code of AudioLibraryTypes.h: kAudioOk, kAudioNoDevice when
// the headset is absent, kAudioFailed when the chip refuses.

#include <cstdint>
#include <span>

#include "headset/AudioLibraryTypes.h"

namespace korva::headset {

// Arguments of the list write to an I2C device. `mode`, `modeParameter`, `entrySize` and `flags`
// belong to the receiving controller; the library only checks that the data is whole entries.
struct I2cModeWrite {
  int address = 0;
  int mode = 0;
  int modeParameter = 0;
  int entrySize = 0;  // bytes per entry of `data` (2 for register/value pairs)
  std::span<const std::uint8_t> data;
  int timeoutMs = 0;
  int flags = 0;
  int deviceId = 0;
};

class AudioChip {
 public:
  virtual ~AudioChip() = default;

  // Fills `list` (zeroed by the caller) with the devices the chip serves.
  virtual int SearchPresentDevice(PresentDeviceList& list) = 0;
  // A descriptor that becomes readable when the answer of SearchPresentDevice may have changed
  // (the next SearchPresentDevice clears it), so the headset watcher can sleep until then; -1 when
  // the chip cannot tell, and the watcher asks at its own pace.
  virtual int PresenceSignal() const { return -1; }

  virtual int SetSpeakerMasterVolume(int master) = 0;
  virtual int SetSpeakerChannelVolume(int left, int right) = 0;
  virtual int SetMicVolume(int volume) = 0;

  virtual int SetVirtual7ch1(const Virtual71Parameters& parameters) = 0;
  virtual int SetVirtual7ch1OnOff(bool on) = 0;
  virtual int SetSoundFieldOnOff(bool on) = 0;
  virtual int SetEncOnOff(bool on) = 0;
  virtual int SetSoundField(int mode) = 0;

  virtual int Config3D(int deviceId) = 0;
  virtual int Set3DOnOff(bool on, int deviceId) = 0;
  virtual int PwmSetConfig(int config, int deviceId) = 0;

  // Writes `data` to consecutive registers starting at `reg` of the I2C device `address`.
  virtual int WriteI2c(int address, int reg, std::span<const std::uint8_t> data, int timeoutMs,
                       int deviceId) = 0;
  virtual int WriteI2cByMode(const I2cModeWrite& write) = 0;
};

}  // namespace korva::headset
