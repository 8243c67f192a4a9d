#include "headset/AudioLibrary.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "common/Log.h"

namespace korva::headset {
namespace {

constexpr int kMaxDeviceId = static_cast<int>(kMaxPresentDevices) - 1;
constexpr int kMaxTimeoutMs = 60'000;

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}
bool IsSwitch(int onOff) {
  return onOff == 0 || onOff == 1;
}
bool IsLevel(int level) {
  return InRange(level, 0, kMaxAudioLevel);
}
bool IsDeviceId(int id) {
  return InRange(id, 0, kMaxDeviceId);
}

// The checks both I2C writes share: a 7-bit address, a length that matches the data and fits one
// transaction, a bounded time-out and a device id of the query.
bool IsI2cWrite(int address, std::span<const std::uint8_t> data, int length, int timeoutMs, int deviceId) {
  return InRange(address, 0, kMaxI2cAddress) && length > 0 &&
         static_cast<std::size_t>(length) == data.size() && data.size() <= kMaxI2cWriteBytes &&
         InRange(timeoutMs, 1, kMaxTimeoutMs) && IsDeviceId(deviceId);
}

bool AllFinite(const float (&values)[8]) {
  for (float v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// A backend answers with the library's codes; anything else counts as a failure, so callers
// never see a code they do not know.
int Normalised(int result) {
  return (result == kAudioOk || result == kAudioNoDevice || result == kAudioFailed) ? result : kAudioFailed;
}

}  // namespace

template <typename Op>
int AudioLibrary::CallChip(Op&& op) {
  std::lock_guard lock(mutex_);
  if (!chip_) return kAudioNoDevice;
  return Normalised(std::forward<Op>(op)(*chip_));
}

int AudioLibrary::Bind(const AudioChipLoader& load) {
  Release();
  AudioChipLoad loaded = load ? load() : AudioChipLoad{nullptr, 0, "no audio chip backend"};
  std::lock_guard lock(mutex_);
  if (!loaded.chip) {
    bindFailure_ = "error " + std::to_string(loaded.errorCode) + ": " + loaded.errorText;
    Trace("audio library: " + bindFailure_);
    return kAudioBindLoadFailed;
  }
  chip_ = std::move(loaded.chip);
  bindFailure_.clear();
  return kAudioBindOk;
}

int AudioLibrary::Bind(std::shared_ptr<AudioChip> chip) {
  return Bind([&chip]() { return AudioChipLoad{std::move(chip), 0, "no audio chip backend"}; });
}

void AudioLibrary::Release() {
  std::shared_ptr<AudioChip> released;
  {
    std::lock_guard lock(mutex_);
    released = std::move(chip_);
    chip_.reset();
  }
  // `released` may be the last owner: the chip is destroyed here, outside the call lock.
}

bool AudioLibrary::IsBound() const {
  std::lock_guard lock(mutex_);
  return chip_ != nullptr;
}

std::string AudioLibrary::BindFailureMessage() const {
  std::lock_guard lock(mutex_);
  return bindFailure_;
}

int AudioLibrary::PresenceSignal() const {
  std::lock_guard lock(mutex_);
  return chip_ ? chip_->PresenceSignal() : -1;
}

int AudioLibrary::Search_Present_Device(PresentDeviceList& list) {
  list = PresentDeviceList{};
  PresentDeviceList answer{};
  const int result = CallChip([&answer](AudioChip& chip) { return chip.SearchPresentDevice(answer); });
  if (result != kAudioOk) return result;
  if (answer.count > kMaxPresentDevices) {
    Trace("audio library: device query answered " + std::to_string(answer.count) + " devices, more than 128");
    return kAudioFailed;
  }
  // Copy only the counted entries, so the list never carries leftovers past `count`.
  list.count = answer.count;
  std::memcpy(list.vendorIds, answer.vendorIds, answer.count * sizeof(std::uint16_t));
  std::memcpy(list.productIds, answer.productIds, answer.count * sizeof(std::uint16_t));
  return kAudioOk;
}

int AudioLibrary::SetSpeakerMasterVolume(int master) {
  if (!IsLevel(master)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetSpeakerMasterVolume(master); });
}

int AudioLibrary::SetSpeakerChannelVolume(int left, int right) {
  if (!IsLevel(left) || !IsLevel(right)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetSpeakerChannelVolume(left, right); });
}

int AudioLibrary::SetMicVolume(int volume) {
  if (!IsLevel(volume)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetMicVolume(volume); });
}

int AudioLibrary::SetVirtual7ch1(const Virtual71Parameters& parameters) {
  if (parameters.reserved != 0 || !AllFinite(parameters.distances) || !AllFinite(parameters.angles)) {
    return kAudioBadArgument;
  }
  return CallChip([&](AudioChip& chip) { return chip.SetVirtual7ch1(parameters); });
}

int AudioLibrary::SetVirtual7ch1_OnOff(int onOff) {
  if (!IsSwitch(onOff)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetVirtual7ch1OnOff(onOff == 1); });
}

int AudioLibrary::SetSoundField_OnOff(int onOff) {
  if (!IsSwitch(onOff)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetSoundFieldOnOff(onOff == 1); });
}

int AudioLibrary::SetEncOnOff(int onOff) {
  if (!IsSwitch(onOff)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetEncOnOff(onOff == 1); });
}

int AudioLibrary::SetSoundField(int mode) {
  if (!InRange(mode, 0, kMaxSoundFieldMode)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.SetSoundField(mode); });
}

int AudioLibrary::Config3D_ById(int deviceId) {
  if (!IsDeviceId(deviceId)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.Config3D(deviceId); });
}

int AudioLibrary::Set3D_OnOff_ById(int onOff, int deviceId) {
  if (!IsSwitch(onOff) || !IsDeviceId(deviceId)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.Set3DOnOff(onOff == 1, deviceId); });
}

int AudioLibrary::PWM_SetConfig_ById(int config, int deviceId) {
  if (config < 0 || !IsDeviceId(deviceId)) return kAudioBadArgument;
  return CallChip([&](AudioChip& chip) { return chip.PwmSetConfig(config, deviceId); });
}

int AudioLibrary::Write_I2C_ById(int address, int reg, std::span<const std::uint8_t> data, int length,
                                 int timeoutMs, int deviceId) {
  // The registers written must all exist: reg .. reg + length - 1 within 0..255.
  if (!IsI2cWrite(address, data, length, timeoutMs, deviceId) || !InRange(reg, 0, kMaxI2cRegister) ||
      reg + length - 1 > kMaxI2cRegister) {
    return kAudioBadArgument;
  }
  return CallChip([&](AudioChip& chip) { return chip.WriteI2c(address, reg, data, timeoutMs, deviceId); });
}

int AudioLibrary::WriteI2C_ByMode_ById(int address, int mode, int modeParameter, int entrySize,
                                       std::span<const std::uint8_t> data, int length, int timeoutMs,
                                       int flags, int deviceId) {
  if (!IsI2cWrite(address, data, length, timeoutMs, deviceId) || entrySize <= 0 || length % entrySize != 0 ||
      !InRange(mode, 0, 0xFF) || !InRange(modeParameter, 0, 0xFF) || flags < 0) {
    return kAudioBadArgument;
  }
  const I2cModeWrite write{address, mode, modeParameter, entrySize, data, timeoutMs, flags, deviceId};
  return CallChip([&](AudioChip& chip) { return chip.WriteI2cByMode(write); });
}

}  // namespace korva::headset
