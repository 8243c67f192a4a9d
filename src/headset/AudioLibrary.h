#pragma once
// AudioLibrary: the headset's audio operations (presence, volumes, effects, LED registers over
// I2C) under the names of the headset audio chip's vendor library ("DLL3S_" + method name),
// bound at run time to one AudioChip backend.
//
// - Unbound, every operation returns kAudioNoDevice without touching any backend, and the device
//   query reports no headset (the list stays zeroed).
// - Every argument is checked first; a bad one gives kAudioBadArgument and reaches no chip.
// - Thread-safe: the headset watcher, the UI thread and the headset lighting thread call it at
//   once. Calls are serialised, so a backend never runs two operations at the same time, and
//   Release waits for a running operation to end.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "headset/AudioLibraryChip.h"
#include "headset/AudioLibraryTypes.h"

namespace korva::headset {

// What loading a backend gave: the chip, or the system error that kept it from loading.
struct AudioChipLoad {
  std::shared_ptr<AudioChip> chip;
  int errorCode = 0;
  std::string errorText;
};
using AudioChipLoader = std::function<AudioChipLoad()>;

// Caption of the message box that reports a failed Bind (its text is BindFailureMessage()).
inline constexpr const char* kBindFailureCaption = "Error";

class AudioLibrary {
 public:
  AudioLibrary() = default;
  AudioLibrary(const AudioLibrary&) = delete;
  AudioLibrary& operator=(const AudioLibrary&) = delete;

  // Releases a previous binding, then loads a backend. kAudioBindOk when bound;
  // kAudioBindLoadFailed when the loader gave no chip (see BindFailureMessage).
  int Bind(const AudioChipLoader& load);
  // Binds an already created chip; a null chip is a load failure.
  int Bind(std::shared_ptr<AudioChip> chip);
  void Release();
  bool IsBound() const;
  // "error <code>: <text>" of the last failed Bind; empty after a successful one.
  std::string BindFailureMessage() const;

  // Zeroes `list`, then lets the chip fill it. An answer with more than 128 entries is refused
  // (kAudioFailed) and leaves the list zeroed.
  // The bound chip's presence signal (AudioChip::PresenceSignal); -1 while unbound.
  int PresenceSignal() const;
  int Search_Present_Device(PresentDeviceList& list);

  // Volumes 0..kMaxAudioLevel.
  int SetSpeakerMasterVolume(int master);
  int SetSpeakerChannelVolume(int left, int right);
  int SetMicVolume(int volume);

  // Distances and angles must be finite and the reserved word 0.
  int SetVirtual7ch1(const Virtual71Parameters& parameters);
  // Switches take 0 or 1.
  int SetVirtual7ch1_OnOff(int onOff);
  int SetSoundField_OnOff(int onOff);
  int SetEncOnOff(int onOff);
  int SetSoundField(int mode);  // 0..kMaxSoundFieldMode

  // Device ids 0..127 (an index of the device query).
  int Config3D_ById(int deviceId);
  int Set3D_OnOff_ById(int onOff, int deviceId);
  int PWM_SetConfig_ById(int config, int deviceId);

  // Writes `length` bytes of `data` to consecutive registers from `reg` of I2C device `address`.
  // `length` must equal data.size() and lie in 1..kMaxI2cWriteBytes; timeoutMs > 0.
  int Write_I2C_ById(int address, int reg, std::span<const std::uint8_t> data, int length, int timeoutMs,
                     int deviceId);
  // List write: `length` bytes of `data` (entries of `entrySize` bytes, e.g. register/value pairs)
  // to I2C device `address` in the controller's `mode`. `length` must equal data.size(), lie in
  // 1..kMaxI2cWriteBytes and be a whole number of entries.
  int WriteI2C_ByMode_ById(int address, int mode, int modeParameter, int entrySize,
                           std::span<const std::uint8_t> data, int length, int timeoutMs, int flags,
                           int deviceId);

 private:
  // Runs `op` on the bound chip under the call lock; kAudioNoDevice when unbound.
  template <typename Op>
  int CallChip(Op&& op);

  mutable std::mutex mutex_;  // guards chip_ and bindFailure_, and serialises chip calls
  std::shared_ptr<AudioChip> chip_;
  std::string bindFailure_;
};

}  // namespace korva::headset
