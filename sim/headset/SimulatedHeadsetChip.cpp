#include "sim/headset/SimulatedHeadsetChip.h"

#include <utility>

#include "headset/HeadsetLightFrame.h"

namespace korva::sim {
namespace {

using headset::kAudioFailed;
using headset::kAudioNoDevice;
using headset::kAudioOk;

std::string Call(const char* name, std::initializer_list<int> args) {
  std::string text = name;
  text += '(';
  bool first = true;
  for (int a : args) {
    if (!first) text += ", ";
    text += std::to_string(a);
    first = false;
  }
  text += ')';
  return text;
}

template <typename T>
void PushBounded(std::deque<T>& log, T entry) {
  if (log.size() == SimulatedHeadsetChip::kLogCapacity) log.pop_front();
  log.push_back(std::move(entry));
}

}  // namespace

SimulatedHeadsetChip::SimulatedHeadsetChip()
    : present_(true), vendorId_(headset::kHeadsetVendorId), productId_(headset::kHeadsetProductId) {}

void SimulatedHeadsetChip::SetPresent(bool present) {
  std::lock_guard lock(mutex_);
  present_ = present;
  presenceChanged_.Ring();
}

bool SimulatedHeadsetChip::IsPresent() const {
  std::lock_guard lock(mutex_);
  return present_;
}

void SimulatedHeadsetChip::SetIdentity(std::uint16_t vendorId, std::uint16_t productId) {
  std::lock_guard lock(mutex_);
  vendorId_ = vendorId;
  productId_ = productId;
  presenceChanged_.Ring();
}

void SimulatedHeadsetChip::SetRefuseAll(bool refuse) {
  std::lock_guard lock(mutex_);
  refuseAll_ = refuse;
  presenceChanged_.Ring();
}

void SimulatedHeadsetChip::InjectQueryAnswer(const headset::PresentDeviceList& answer) {
  std::lock_guard lock(mutex_);
  injectedAnswer_ = answer;
  presenceChanged_.Ring();
}

SimHeadsetAudioState SimulatedHeadsetChip::AudioState() const {
  std::lock_guard lock(mutex_);
  return audio_;
}

std::uint8_t SimulatedHeadsetChip::I2cRegister(int address, int reg) const {
  std::lock_guard lock(mutex_);
  const auto it = registers_.find(address);
  if (it == registers_.end() || reg < 0 || reg >= kI2cRegisterCount) return 0;
  return it->second[static_cast<std::size_t>(reg)];
}

std::optional<SimI2cWrite> SimulatedHeadsetChip::LastRegisterWrite(int address) const {
  std::lock_guard lock(mutex_);
  const auto it = lastRegisterWrite_.find(address);
  if (it == lastRegisterWrite_.end()) return std::nullopt;
  return it->second;
}

std::array<SimulatedHeadsetChip::LedColour, SimulatedHeadsetChip::kLedCount> SimulatedHeadsetChip::LedColours(
    int address) const {
  std::lock_guard lock(mutex_);
  std::array<LedColour, kLedCount> leds{};
  const auto it = registers_.find(address);
  if (it == registers_.end()) return leds;
  const auto& registers = it->second;
  const auto from = ledsFromList_.find(address);
  const bool list = from != ledsFromList_.end() && from->second;
  for (std::size_t i = 0; i < kLedCount; ++i) {
    if (list) {
      leds[i] = {registers[headset::kWaveRedRegister + i], registers[headset::kWaveGreenRegister + i],
                 registers[headset::kWaveBlueRegister + i]};
    } else {
      const auto colour = static_cast<std::size_t>(headset::kColourRegister);
      leds[i] = {registers[colour], registers[colour + 1], registers[colour + 2]};
    }
  }
  return leds;
}

std::optional<SimI2cWrite> SimulatedHeadsetChip::LastModeWrite(int address) const {
  std::lock_guard lock(mutex_);
  const auto it = lastModeWrite_.find(address);
  if (it == lastModeWrite_.end()) return std::nullopt;
  return it->second;
}

std::vector<SimI2cWrite> SimulatedHeadsetChip::I2cLog() const {
  std::lock_guard lock(mutex_);
  return {i2cLog_.begin(), i2cLog_.end()};
}

std::vector<std::string> SimulatedHeadsetChip::CallLog() const {
  std::lock_guard lock(mutex_);
  return {callLog_.begin(), callLog_.end()};
}

std::uint64_t SimulatedHeadsetChip::I2cWriteCount() const {
  std::lock_guard lock(mutex_);
  return i2cWriteCount_;
}

void SimulatedHeadsetChip::ClearLogs() {
  std::lock_guard lock(mutex_);
  i2cLog_.clear();
  callLog_.clear();
}

bool SimulatedHeadsetChip::WaitForI2cWrites(std::uint64_t total, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return i2cWritten_.wait_for(lock, timeout, [&] { return i2cWriteCount_ >= total; });
}

// Called with mutex_ held.
int SimulatedHeadsetChip::Accept(std::string call) {
  PushBounded(callLog_, std::move(call));
  if (!present_) return kAudioNoDevice;
  if (refuseAll_) return kAudioFailed;
  return kAudioOk;
}

int SimulatedHeadsetChip::SearchPresentDevice(headset::PresentDeviceList& list) {
  std::lock_guard lock(mutex_);
  PushBounded(callLog_, std::string("Search_Present_Device()"));
  presenceChanged_.Drain();
  if (injectedAnswer_) {
    list = *injectedAnswer_;
    injectedAnswer_.reset();
    return kAudioOk;
  }
  if (refuseAll_) return kAudioFailed;
  // An absent headset is a successful query that lists nothing.
  if (present_) {
    list.count = 1;
    list.vendorIds[0] = vendorId_;
    list.productIds[0] = productId_;
  }
  return kAudioOk;
}

int SimulatedHeadsetChip::SetSpeakerMasterVolume(int master) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetSpeakerMasterVolume", {master}));
  if (result == kAudioOk) audio_.masterVolume = master;
  return result;
}

int SimulatedHeadsetChip::SetSpeakerChannelVolume(int left, int right) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetSpeakerChannelVolume", {left, right}));
  if (result == kAudioOk) {
    audio_.leftVolume = left;
    audio_.rightVolume = right;
  }
  return result;
}

int SimulatedHeadsetChip::SetMicVolume(int volume) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetMicVolume", {volume}));
  if (result == kAudioOk) audio_.micVolume = volume;
  return result;
}

int SimulatedHeadsetChip::SetVirtual7ch1(const headset::Virtual71Parameters& parameters) {
  std::lock_guard lock(mutex_);
  const int result = Accept("SetVirtual7ch1(...)");
  if (result == kAudioOk) audio_.virtual71 = parameters;
  return result;
}

int SimulatedHeadsetChip::SetVirtual7ch1OnOff(bool on) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetVirtual7ch1_OnOff", {on ? 1 : 0}));
  if (result == kAudioOk) audio_.virtual71On = on;
  return result;
}

int SimulatedHeadsetChip::SetSoundFieldOnOff(bool on) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetSoundField_OnOff", {on ? 1 : 0}));
  if (result == kAudioOk) audio_.soundFieldOn = on;
  return result;
}

int SimulatedHeadsetChip::SetEncOnOff(bool on) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetEncOnOff", {on ? 1 : 0}));
  if (result == kAudioOk) audio_.encOn = on;
  return result;
}

int SimulatedHeadsetChip::SetSoundField(int mode) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("SetSoundField", {mode}));
  if (result == kAudioOk) audio_.soundFieldMode = mode;
  return result;
}

int SimulatedHeadsetChip::Config3D(int deviceId) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("Config3D_ById", {deviceId}));
  if (result == kAudioOk) ++audio_.threeDConfigCount;
  return result;
}

int SimulatedHeadsetChip::Set3DOnOff(bool on, int deviceId) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("Set3D_OnOff_ById", {on ? 1 : 0, deviceId}));
  if (result == kAudioOk) audio_.threeDOn = on;
  return result;
}

int SimulatedHeadsetChip::PwmSetConfig(int config, int deviceId) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("PWM_SetConfig_ById", {config, deviceId}));
  if (result == kAudioOk) audio_.pwmConfig = config;
  return result;
}

// Called with mutex_ held, after the write was accepted.
void SimulatedHeadsetChip::RecordI2c(SimI2cWrite write) {
  auto& last = write.kind == SimI2cWrite::Kind::kRegisters ? lastRegisterWrite_ : lastModeWrite_;
  ledsFromList_[write.address] = write.kind == SimI2cWrite::Kind::kByMode;
  last[write.address] = write;
  PushBounded(i2cLog_, std::move(write));
  ++i2cWriteCount_;
  i2cWritten_.notify_all();
}

int SimulatedHeadsetChip::WriteI2c(int address, int reg, std::span<const std::uint8_t> data, int timeoutMs,
                                   int deviceId) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("Write_I2C_ById", {address, reg, static_cast<int>(data.size())}));
  if (result != kAudioOk) return result;
  // A write past the last register is refused whole, as the bus transaction would fail.
  if (reg < 0 || data.empty() || reg + data.size() > static_cast<std::size_t>(kI2cRegisterCount)) {
    return kAudioFailed;
  }
  auto& registers = registers_[address];
  for (std::size_t i = 0; i < data.size(); ++i) registers[static_cast<std::size_t>(reg) + i] = data[i];
  SimI2cWrite write;
  write.kind = SimI2cWrite::Kind::kRegisters;
  write.address = address;
  write.reg = reg;
  write.timeoutMs = timeoutMs;
  write.deviceId = deviceId;
  write.data.assign(data.begin(), data.end());
  RecordI2c(std::move(write));
  return kAudioOk;
}

int SimulatedHeadsetChip::WriteI2cByMode(const headset::I2cModeWrite& w) {
  std::lock_guard lock(mutex_);
  const int result = Accept(Call("WriteI2C_ByMode_ById", {w.address, w.mode, w.modeParameter, w.entrySize,
                                                          static_cast<int>(w.data.size())}));
  if (result != kAudioOk) return result;
  // With two-byte entries the controller takes the list as (register, value) pairs.
  if (w.entrySize == 2) {
    auto& registers = registers_[w.address];
    for (std::size_t i = 0; i + 1 < w.data.size(); i += 2) registers[w.data[i]] = w.data[i + 1];
  }
  SimI2cWrite write;
  write.kind = SimI2cWrite::Kind::kByMode;
  write.address = w.address;
  write.mode = w.mode;
  write.modeParameter = w.modeParameter;
  write.entrySize = w.entrySize;
  write.flags = w.flags;
  write.timeoutMs = w.timeoutMs;
  write.deviceId = w.deviceId;
  write.data.assign(w.data.begin(), w.data.end());
  RecordI2c(std::move(write));
  return kAudioOk;
}

}  // namespace korva::sim
